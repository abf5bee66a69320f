#pragma once

#include <QLocale>

// Pins the default locale for one test and restores the previous one afterwards.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale)
    {
        QLocale::setDefault(locale);
    }
    ~LocaleGuard() { QLocale::setDefault(previous_); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

    static QLocale russian() { return QLocale(QLocale::Russian, QLocale::Russia); }
    static QLocale usEnglish() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private:
    QLocale previous_;
};
