#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <mutex>
#include <thread>

typedef struct str_enchant_broker EnchantBroker;
typedef struct str_enchant_dict EnchantDict;

namespace quillet {

// The desktop's spell checker (Enchant 2 over the installed Hunspell
// dictionaries), for one language at a time. Nothing is loaded until it is
// first asked; without a dictionary every word is known and nothing fails.
// Words added go to Enchant's personal dictionary of the language
// ($ENCHANT_CONFIG_DIR, or $XDG_CONFIG_HOME/enchant, <language>.dic).
// Main thread only; only the loading of a dictionary runs beside it.
class SpellChecker : public QObject {
    Q_OBJECT
public:
    explicit SpellChecker(QObject* parent = nullptr);
    ~SpellChecker() override;
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // The installed dictionaries' language tags ("de_DE", "en_US"), sorted.
    QStringList languages();
    // For a locale name ("en_US", "de_AT.UTF-8"): the same language and
    // region, else the first of the same language, else none (empty).
    static QString preferredLanguage(const QStringList& available, const QString& localeName);

    // Empty turns checking off; false (and off) when there is no such dictionary.
    bool setLanguage(const QString& tag);
    // As setLanguage, the dictionary read on a helper thread (a large one
    // takes a tenth of a second); changed() once it is in use. Given a
    // locale name, a language that is not installed gives way to the
    // locale's (preferredLanguage), chosen there too.
    void loadLanguageInBackground(const QString& tag, const QString& localeName = QString());
    QString language() const { return language_; }
    bool isActive() const { return dict_ != nullptr; }

    // True for a known word, and for every word while no dictionary is loaded.
    bool check(QStringView word);
    QStringList suggestions(QStringView word, int limit);
    // Known from now on: in the personal dictionary, or for this run only.
    void addToDictionary(QStringView word);
    void ignore(QStringView word);

signals:
    // The language or the words known changed: earlier answers may be wrong.
    void changed();

private:
    // The caller holds brokerLock_.
    EnchantBroker* broker();
    void use(EnchantDict* dict, const QString& tag);
    void joinLoader();
    std::mutex brokerLock_;
    std::thread loader_;
    int generation_ = 0;
    EnchantBroker* broker_ = nullptr;
    EnchantDict* dict_ = nullptr;
    QString language_;
};

} // namespace quillet
