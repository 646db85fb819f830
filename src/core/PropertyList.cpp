#include "core/PropertyList.h"

#include "core/PrivateFile.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace quillet {

namespace {

std::optional<QVariant> readValue(QXmlStreamReader& xml);

std::optional<QVariantMap> readDict(QXmlStreamReader& xml) {
    QVariantMap dict;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("key")) {
            return std::nullopt;
        }
        const QString key = xml.readElementText();
        if (!xml.readNextStartElement()) {
            return std::nullopt;
        }
        std::optional<QVariant> value = readValue(xml);
        if (!value) {
            return std::nullopt;
        }
        dict.insert(key, *value);
    }
    return xml.hasError() ? std::nullopt : std::optional<QVariantMap>(dict);
}

std::optional<QVariant> readValue(QXmlStreamReader& xml) {
    const auto name = xml.name();
    if (name == QLatin1String("string")) {
        return QVariant(xml.readElementText());
    }
    if (name == QLatin1String("integer")) {
        bool ok = false;
        const qlonglong v = xml.readElementText().toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    if (name == QLatin1String("real")) {
        bool ok = false;
        const double v = xml.readElementText().toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    if (name == QLatin1String("true") || name == QLatin1String("false")) {
        const bool v = name == QLatin1String("true");
        xml.skipCurrentElement();
        return QVariant(v);
    }
    if (name == QLatin1String("dict")) {
        std::optional<QVariantMap> d = readDict(xml);
        return d ? std::optional<QVariant>(QVariant(*d)) : std::nullopt;
    }
    return std::nullopt;
}

void writeValue(QXmlStreamWriter& xml, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        xml.writeEmptyElement(value.toBool() ? "true" : "false");
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        xml.writeTextElement("integer", value.toString());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        xml.writeTextElement("real", QString::number(value.toDouble(), 'g', 17));
        break;
    case QMetaType::QVariantMap: {
        xml.writeStartElement("dict");
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            xml.writeTextElement("key", it.key());
            writeValue(xml, it.value());
        }
        xml.writeEndElement();
        break;
    }
    default:
        xml.writeTextElement("string", value.toString());
        break;
    }
}

} // namespace

std::optional<QVariantMap> PropertyList::readDictionary(const QString& path) {
    QByteArray bytes;
    if (!PrivateFile::readRegular(path, 1 << 20, &bytes, nullptr)) {
        return std::nullopt;
    }
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("plist")) {
        return std::nullopt;
    }
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("dict")) {
        return std::nullopt;
    }
    return readDict(xml);
}

bool PropertyList::writeDictionary(const QVariantMap& dictionary, const QString& path) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1);
    xml.writeStartDocument();
    xml.writeStartElement("plist");
    xml.writeAttribute("version", "1.0");
    writeValue(xml, QVariant(dictionary));
    xml.writeEndElement();
    xml.writeEndDocument();
    // Owner-only and never through a link: the session marker lies in the container.
    return !xml.hasError() && PrivateFile::writeWhole(path, bytes, nullptr);
}

} // namespace quillet
