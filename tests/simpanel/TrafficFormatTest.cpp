#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "simpanel/TrafficFormat.h"
#include "simpanel/TypeWordFields.h"

using sim::Transfer;

TEST(TrafficFormat, JsonLineParsesBackToTheTransfer)
{
    const Transfer out{Transfer::Direction::Out, 1, {0x03, 0x00, 0xAB, 0xFF}, 4, 1000, 4};
    const QByteArray line = simpanel::trafficJsonLine(out, 1234567890123);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(line, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(json["direction"].toString(), "out");
    EXPECT_EQ(json["endpoint"].toInt(), 1);
    EXPECT_EQ(json["length"].toInt(), 4);
    EXPECT_EQ(json["timeout"].toInt(), 1000);
    EXPECT_EQ(json["result"].toInt(), 4);
    EXPECT_EQ(json["bytes"].toString(), "0300abff");
    EXPECT_EQ(json["time_us"].toInteger(), 1234567890123);
}

TEST(TrafficFormat, FailedReadHasNoBytesAndItsNegativeResult)
{
    const Transfer in{Transfer::Direction::In, 0x81, {}, 72, 500, -110};
    const QJsonObject json = QJsonDocument::fromJson(simpanel::trafficJsonLine(in, 0)).object();
    EXPECT_EQ(json["direction"].toString(), "in");
    EXPECT_EQ(json["endpoint"].toInt(), 0x81);
    EXPECT_EQ(json["length"].toInt(), 72);
    EXPECT_EQ(json["result"].toInt(), -110);
    EXPECT_EQ(json["bytes"].toString(), "");
    EXPECT_EQ(simpanel::trafficText(in), "IN  EP81 длина 72 тайм-аут 500 результат -110: ");
}

TEST(TrafficFormat, TextLineShowsEveryField)
{
    const Transfer out{Transfer::Direction::Out, 6, {0x0A, 0xB0, 0x01}, 3, 2000, 3};
    EXPECT_EQ(simpanel::trafficText(out), "OUT EP06 длина 3 тайм-аут 2000 результат 3: 0A B0 01");
}

TEST(TypeWordFields, FieldsRoundTripAndKeepTheUnusedBits)
{
    const simpanel::TypeWordFields fields = simpanel::fieldsOf(0x2B5F);
    EXPECT_EQ(fields.model, 2);
    EXPECT_EQ(fields.softwareMajor, 2);
    EXPECT_EQ(fields.softwareMinor, 3);
    EXPECT_EQ(fields.boardMajor, 1);
    EXPECT_EQ(fields.boardMinor, 1);
    EXPECT_EQ(fields.edition, 1);
    EXPECT_EQ(simpanel::withFields(0x000E, fields), 0x2B5F);
    EXPECT_EQ(simpanel::withFields(0xFFFF, {1, 0, 0, 0, 0, 0}), 0x100E);
}
