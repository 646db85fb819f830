#include "core/SpellChecker.h"

#include <enchant.h>

#include <QByteArray>
#include <algorithm>

namespace quillet {

SpellChecker::SpellChecker(QObject* parent) : QObject(parent) {}

SpellChecker::~SpellChecker() {
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

QStringList SpellChecker::languages() {
    QStringList tags;
    if (EnchantBroker* b = broker()) {
        enchant_broker_list_dicts(
            b,
            [](const char* tag, const char*, const char*, const char*, void* data) {
                static_cast<QStringList*>(data)->append(QString::fromUtf8(tag));
            },
            &tags);
    }
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    return tags;
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

bool SpellChecker::setLanguage(const QString& tag) {
    if (tag == language_ && (dict_ || tag.isEmpty())) {
        return dict_ != nullptr;
    }
    if (dict_) {
        enchant_broker_free_dict(broker_, dict_);
        dict_ = nullptr;
    }
    language_.clear();
    EnchantBroker* b = tag.isEmpty() ? nullptr : broker();
    if (b && enchant_broker_dict_exists(b, tag.toUtf8().constData())) {
        dict_ = enchant_broker_request_dict(b, tag.toUtf8().constData());
    }
    if (dict_) {
        language_ = tag;
    }
    emit changed();
    return dict_ != nullptr;
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
