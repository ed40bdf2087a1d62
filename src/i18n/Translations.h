#pragma once

#include <QString>
#include <QTranslator>

namespace i18n {

// The program is written in Chinese; every other language is a translation of it.
enum class Language { Chinese, English };

// The language for a messages locale name ("de_DE.UTF-8", "zh_TW", "C"): Chinese for a Chinese
// locale and for none at all (empty, C, POSIX), English for any other.
Language LanguageOfLocale(const QString& name);

// The language the user's environment asks for: the messages locale as POSIX picks it
// (LC_ALL, else LC_MESSAGES, else LANG).
Language ChosenLanguage();

// The program's translation and Qt's own (standard dialogs, their buttons) for one language,
// installed in the application while this object lives. Create it after the application object.
class Translations {
public:
    explicit Translations(Language language);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

private:
    QTranslator program_;
    QTranslator qt_;
};

} // namespace i18n
