#include <set>

#include <gtest/gtest.h>

#include "config/ConfigRecord.h"
#include "models/InfoSheet.h"
#include "models/ReportPages.h"
#include "models/ReportTexts.h"

namespace {

// The identity block in host order and a board block in the record's order.
ConfigRecord recordWith(std::uint16_t typeWord)
{
    ConfigRecord record;
    record.setTypeWord(typeWord);
    std::uint8_t* identity = record.data(Blocks::Identity);
    const std::uint8_t words[]{0x01, 0x00, 0x45, 0x23, 0xAB, 0x00, 0x00, 0x0C, 0x05, 0x00};
    std::copy(std::begin(words), std::end(words), identity + 2);
    std::uint8_t* board = record.data(Blocks::Board);
    // Words 0 to 5: the address bytes 00 1A 2B 3C 4D 5E, each word most significant byte first.
    const std::uint8_t address[]{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (int i = 0; i < 6; ++i)
        board[2 * i + 1] = address[i];
    // The serial number "12" and its zero byte, swapped in pairs as the record keeps them.
    board[12] = '2';
    board[13] = '1';
    return record;
}

std::vector<std::pair<std::string, std::string>> shownRows(const InfoSheet& sheet)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (const InfoRow& row : sheet.rows)
        if (row.shown)
            rows.emplace_back(row.field->label.toStdString(), row.value.toStdString());
    return rows;
}

TEST(InfoSheet, ShowsWhatTheWindowShowsRowByRow)
{
    ConfigRecord record = recordWith(0x2661);
    const InfoSheet sheet =
        infoSheet({record.data(Blocks::Board), record.data(Blocks::Identity), 0x0A3F, 212});
    EXPECT_EQ(sheet.title, "Удаленный контроллер R-420");
    EXPECT_EQ(shownRows(sheet), (std::vector<std::pair<std::string, std::string>>{
                                    {"Модель:", "R-420ZB"},
                                    {"Версия ПП:", "B.2"},
                                    {"Версия ПО:", "1.2"},
                                    {"Сер. номер:", "12"},
                                    {"Дата:", ""},
                                    {"Chip ID:", "0x05"},
                                    {"Die ID:", "0x012345ABC00"},
                                    {"MAC:", "00-1A-2B-3C-4D-5E"},
                                    {"Size:", "212 bytes"},
                                    {"Crc:", "0x0A3F"},
                                }));
}

TEST(InfoSheet, OnlyTheR420ShowsItsHardwareAddress)
{
    const struct {
        std::uint16_t typeWord;
        const char* model;
        bool address;
    } cases[] = {{0x1000, "R-410ZA", false}, {0x2001, "R-420ZB", true}, {0x3000, "R-xxxZA", false}};
    for (const auto& c : cases) {
        ConfigRecord record = recordWith(c.typeWord);
        const InfoSheet sheet =
            infoSheet({record.data(Blocks::Board), record.data(Blocks::Identity), 0, 212});
        EXPECT_EQ(sheet.rows.front().value, c.model);
        const auto mac = std::find_if(sheet.rows.begin(), sheet.rows.end(), [](const InfoRow& row) {
            return row.field->label == "MAC:";
        });
        ASSERT_NE(mac, sheet.rows.end());
        EXPECT_EQ(mac->shown, c.address) << c.model;
    }
}

TEST(ReportPages, EveryFigureHasOneRowOnItsPage)
{
    std::multiset<std::string> rows;
    for (const ReportPage& page : reportPages())
        for (const ReportFigureRow& row : page.rows)
            rows.insert(row.field);
    std::multiset<std::string> fields;
    for (const ReportField& field : reportFields())
        fields.insert(field.name);
    EXPECT_EQ(rows, fields);
    std::vector<QString> titles;
    for (const ReportPage& page : reportPages())
        titles.push_back(page.title);
    EXPECT_EQ(titles, (std::vector<QString>{"Общая", "Канал управления", "Канал аудио"}));
}

TEST(ReportPages, LabelsFollowTheModelAndThePeriod)
{
    const auto label = [](const char* field, int model, const QString& period) {
        for (const ReportPage& page : reportPages())
            for (const ReportFigureRow& row : page.rows)
                if (std::string(row.field) == field)
                    return reportRowLabel(row, model, period);
        return std::optional<QString>(QStringLiteral("no such row"));
    };
    EXPECT_EQ(label("sDelay", ModelR420, "1"), "Cреднее время задержки:");
    EXPECT_EQ(label("sDelay", ModelR410, "1"), "Частота синхронизации:");
    EXPECT_EQ(label("sJBufLoad", ModelR420, "1"), "Среднее время задержки кадров:");
    EXPECT_EQ(label("sJBufLoad", ModelR410, "1"), std::nullopt);
    EXPECT_EQ(label("sRxdErrFract", ModelR420, "5"), "Количество ошибочных пакетов за 5 сек:");
    EXPECT_EQ(label("sRxvLostFract", ModelR410, "999"), "Количество потерянных кадров за 999 сек:");
    EXPECT_EQ(label("sTime", ModelR410, "5"), "Время сбора данных (сек):");
}

} // namespace
