#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>

namespace i18n {

namespace {

// "de_DE.UTF-8@euro" gives "de_DE".
QString languageAndTerritory(const QString& locale) {
    return locale.section('.', 0, 0).section('@', 0, 0);
}

bool isChinese(const QString& locale) {
    return languageAndTerritory(locale).startsWith(QLatin1String("zh"));
}

} // namespace

QString MessagesLocale() {
    // LANGUAGE is a list of languages in order of preference; the first one decides, as the
    // program knows only its own language and English. It comes first, as in gettext, so that
    // LANGUAGE=en asks for English where LANG=C.UTF-8 is given (SSH, containers, cron).
    const QStringList preferred =
        qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (!preferred.isEmpty())
        return preferred.first();
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const QString value = qEnvironmentVariable(variable); !value.isEmpty())
            return value;
    return QString();
}

Language LanguageOfLocale(const QString& name) {
    const QString language = languageAndTerritory(name);
    if (language.isEmpty() || language == QLatin1String("C") ||
        language == QLatin1String("POSIX") || isChinese(name))
        return Language::Chinese;
    return Language::English;
}

Translations::Translations(const QString& locale) {
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (LanguageOfLocale(locale) == Language::English) {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        if (program_.load(english, QStringLiteral("spliceon"), QStringLiteral("_"),
                          QStringLiteral(":/i18n")))
            QCoreApplication::installTranslator(&program_);
        if (qt_.load(english, QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslations))
            QCoreApplication::installTranslator(&qt_);
    } else if (isChinese(locale) &&
               qt_.load(QLocale(languageAndTerritory(locale)), QStringLiteral("qtbase"),
                        QStringLiteral("_"), qtTranslations)) {
        QCoreApplication::installTranslator(&qt_);
    }
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&program_);
    QCoreApplication::removeTranslator(&qt_);
}

} // namespace i18n
