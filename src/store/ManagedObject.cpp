#include "store/ManagedObject.h"

#include "store/ManagedObjectContext.h"

#include <algorithm>

namespace quillet {

void ManagedObject::fire() const {
    if (fault_ && context_) {
        context_->fulfillFault(const_cast<ManagedObject*>(this));
    }
}

void ManagedObject::fireText() const {
    if (values_.textFaulted && context_) {
        context_->fulfillTextFault(const_cast<ManagedObject*>(this));
    }
}

QVariant ManagedObject::valueForKey(const QString& key) const {
    const std::optional<EntryKey> k = entryKeyFromName(key);
    return k ? value(*k) : QVariant();
}

void ManagedObject::setValue(const QVariant& value, const QString& key) {
    if (const std::optional<EntryKey> k = entryKeyFromName(key)) {
        setValue(*k, value);
    }
}

QVariant ManagedObject::value(EntryKey key) const {
    fire();
    switch (key) {
    case EntryKey::Uuid:
        return values_.uuid.isNull() ? QVariant() : QVariant(values_.uuid.toString());
    case EntryKey::EntryText:
        fireText();
        return values_.entryText.isNull() ? QVariant()
                                          : QVariant(QString::fromUtf8(values_.entryText));
    case EntryKey::ColorTag:
        return values_.colorTag;
    case EntryKey::MonthTag:
        return values_.monthTag;
    case EntryKey::TimeStamp:
        return values_.hasTimeStamp ? QVariant(timeStamp()) : QVariant();
    }
    return {};
}

void ManagedObject::setValue(EntryKey key, const QVariant& value) {
    if (context_) {
        context_->setValue(this, key, value);
    }
}

QString ManagedObject::uuid() const {
    fire();
    return values_.uuid.toString();
}

QString ManagedObject::entryText() const {
    fire();
    fireText();
    return values_.entryText.isNull() ? QString() : QString::fromUtf8(values_.entryText);
}

QString ManagedObject::leadingText(qsizetype maxBytes) const {
    fire();
    fireText();
    const QByteArray& text = values_.entryText;
    qsizetype end = std::min(text.size(), std::max<qsizetype>(maxBytes, 0));
    while (end < text.size() && end > 0 && (uchar(text.at(end)) & 0xC0) == 0x80) {
        --end; // not inside a character
    }
    return QString::fromUtf8(text.constData(), end);
}

int ManagedObject::colorTag() const {
    fire();
    return values_.colorTag;
}

int ManagedObject::monthTag() const {
    fire();
    return values_.monthTag;
}

QDateTime ManagedObject::timeStamp() const {
    fire();
    if (!values_.hasTimeStamp) {
        return QDateTime();
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(values_.timeStamp * 1000.0)));
}

double ManagedObject::timeStampSeconds() const {
    fire();
    return values_.timeStamp;
}

std::string_view ManagedObject::foldedText() const {
    fire();
    if (foldStale_ && context_) {
        context_->ensureFoldedTexts();
    }
    return values_.foldedText;
}

} // namespace quillet
