#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace i18n {

Language LanguageOfLocale(const QString& name) {
    const QString language = name.section('.', 0, 0).section('@', 0, 0);
    if (language.isEmpty() || language == QLatin1String("C") ||
        language == QLatin1String("POSIX") || language.startsWith(QLatin1String("zh")))
        return Language::Chinese;
    return Language::English;
}

Language ChosenLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const QString value = qEnvironmentVariable(variable); !value.isEmpty())
            return LanguageOfLocale(value);
    return Language::Chinese;
}

Translations::Translations(Language language) {
    const QLocale locale = language == Language::English
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : QLocale(QLocale::Chinese, QLocale::China);
    // The Chinese texts are the sources; only other languages need the program's translation.
    if (language != Language::Chinese &&
        program_.load(locale, QStringLiteral("spliceon"), QStringLiteral("_"),
                      QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&program_);
    if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&program_);
    QCoreApplication::removeTranslator(&qt_);
}

} // namespace i18n
