#pragma once

#include <QString>
#include <QTranslator>

namespace i18n {

// The program is written in Chinese; every other language is a translation of it.
enum class Language { Chinese, English };

// The messages locale: the first entry of LANGUAGE, else as POSIX picks it: LC_ALL, else
// LC_MESSAGES, else LANG ("" when none is set).
QString MessagesLocale();

// The language for a messages locale ("de_DE.UTF-8", "zh_TW", "C"): Chinese for a Chinese
// locale and for none at all (empty, C, POSIX), English for any other.
Language LanguageOfLocale(const QString& name);

// The translations for a messages locale, installed in the application while this object
// lives: in English the program's and Qt's own (standard dialogs, their buttons); in a Chinese
// locale Qt's Chinese; without a locale (empty, C, POSIX) none, so every text, Qt's included,
// reads as written. Create it after the application object.
class Translations {
public:
    explicit Translations(const QString& locale);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

private:
    QTranslator program_;
    QTranslator qt_;
};

} // namespace i18n
