#include "core/SpellChecker.h"

#include <enchant.h>

#include <QByteArray>
#include <algorithm>

namespace quillet {

SpellChecker::SpellChecker(QObject* parent) : QObject(parent) {}

SpellChecker::~SpellChecker() {
    joinLoader();
    if (dict_) {
        enchant_broker_free_dict(broker_, dict_);
    }
    if (broker_) {
        enchant_broker_free(broker_);
    }
}

EnchantBroker* SpellChecker::broker() {
    if (!broker_) {
        broker_ = enchant_broker_init();
        // Hunspell's dictionaries are the ones Debian installs for every
        // language; the same answers wherever aspell is installed too.
        if (broker_) {
            enchant_broker_set_ordering(broker_, "*", "hunspell,nuspell,aspell");
        }
    }
    return broker_;
}

void SpellChecker::joinLoader() {
    if (loader_.joinable()) {
        loader_.join();
    }
}

namespace {
QStringList installedLanguages(EnchantBroker* broker) {
    QStringList tags;
    if (broker) {
        enchant_broker_list_dicts(
            broker,
            [](const char* tag, const char*, const char*, const char*, void* data) {
                static_cast<QStringList*>(data)->append(QString::fromUtf8(tag));
            },
            &tags);
    }
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    return tags;
}
} // namespace

QStringList SpellChecker::languages() {
    const std::lock_guard lock(brokerLock_);
    return installedLanguages(broker());
}

QString SpellChecker::preferredLanguage(const QStringList& available, const QString& localeName) {
    const QString name = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    if (available.contains(name)) {
        return name;
    }
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    if (language.isEmpty()) {
        return QString();
    }
    for (const QString& tag : available) {
        if (tag == language || tag.startsWith(language + QLatin1Char('_'))) {
            return tag;
        }
    }
    return QString();
}

namespace {
EnchantDict* request(EnchantBroker* broker, const QString& tag) {
    const QByteArray name = tag.toUtf8();
    return broker && !tag.isEmpty() && enchant_broker_dict_exists(broker, name.constData())
               ? enchant_broker_request_dict(broker, name.constData())
               : nullptr;
}
} // namespace

void SpellChecker::use(EnchantDict* dict, const QString& tag) {
    const std::lock_guard lock(brokerLock_);
    if (dict_) {
        enchant_broker_free_dict(broker_, dict_);
    }
    dict_ = dict;
    language_ = dict ? tag : QString();
}

bool SpellChecker::setLanguage(const QString& tag) {
    joinLoader();
    ++generation_;
    if (tag == language_ && (dict_ || tag.isEmpty())) {
        return dict_ != nullptr;
    }
    EnchantDict* dict = nullptr;
    {
        const std::lock_guard lock(brokerLock_);
        dict = request(broker(), tag);
    }
    use(dict, tag);
    emit changed();
    return dict != nullptr;
}

void SpellChecker::loadLanguageInBackground(const QString& wanted, const QString& localeName) {
    joinLoader();
    const int generation = ++generation_;
    if (wanted == language_ && dict_) {
        return;
    }
    loader_ = std::thread([this, wanted, localeName, generation] {
        EnchantDict* dict = nullptr;
        QString tag = wanted;
        {
            // Making the broker loads Enchant's providers, and listing the
            // dictionaries reads their folders: both here, off the window's thread.
            const std::lock_guard lock(brokerLock_);
            if (!localeName.isEmpty()) {
                const QStringList installed = installedLanguages(broker());
                if (!installed.contains(tag)) {
                    tag = preferredLanguage(installed, localeName);
                }
            }
            dict = request(broker(), tag);
        }
        // Dropped with this object if it is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, dict, tag, generation] {
                if (generation != generation_) {
                    const std::lock_guard lock(brokerLock_);
                    if (dict) {
                        enchant_broker_free_dict(broker_, dict);
                    }
                    return;
                }
                use(dict, tag);
                emit changed();
            },
            Qt::QueuedConnection);
    });
}

bool SpellChecker::check(QStringView word) {
    if (!dict_ || word.isEmpty()) {
        return true;
    }
    const QByteArray utf8 = word.toUtf8();
    // 0 is known, a positive answer unknown, a negative one an error.
    return enchant_dict_check(dict_, utf8.constData(), utf8.size()) <= 0;
}

QStringList SpellChecker::suggestions(QStringView word, int limit) {
    QStringList found;
    if (!dict_ || word.isEmpty()) {
        return found;
    }
    const QByteArray utf8 = word.toUtf8();
    size_t count = 0;
    char** list = enchant_dict_suggest(dict_, utf8.constData(), utf8.size(), &count);
    for (size_t i = 0; i < count && found.size() < limit; ++i) {
        found.append(QString::fromUtf8(list[i]));
    }
    if (list) {
        enchant_dict_free_string_list(dict_, list);
    }
    return found;
}

void SpellChecker::addToDictionary(QStringView word) {
    if (dict_ && !word.isEmpty()) {
        const QByteArray utf8 = word.toUtf8();
        enchant_dict_add(dict_, utf8.constData(), utf8.size());
        emit changed();
    }
}

void SpellChecker::ignore(QStringView word) {
    if (dict_ && !word.isEmpty()) {
        const QByteArray utf8 = word.toUtf8();
        enchant_dict_add_to_session(dict_, utf8.constData(), utf8.size());
        emit changed();
    }
}

} // namespace quillet
