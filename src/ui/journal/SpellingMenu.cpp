#include "ui/journal/SpellingMenu.h"

#include "ui/journal/SpellMarker.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLocale>
#include <QMenu>

namespace quillet {

namespace {
// "English (United States)" for en_US; a tag Qt does not know as itself.
QString languageName(const QString& tag) {
    const QLocale locale(tag);
    if (locale.language() == QLocale::C) {
        return tag;
    }
    const QString language = QLocale::languageToString(locale.language());
    return tag.contains(u'_') ? QStringLiteral("%1 (%2)").arg(
                                    language, QLocale::territoryToString(locale.territory()))
                              : language;
}
} // namespace

void fillSpellingMenu(QMenu* menu, SpellMarker* marker) {
    menu->clear();
    const QStringList languages = marker->languages();
    QAction* onOff =
        menu->addAction(QCoreApplication::translate("SpellingMenu", "Check Spelling While Typing"));
    onOff->setCheckable(true);
    onOff->setChecked(marker->isOn() && !languages.isEmpty());
    onOff->setEnabled(!languages.isEmpty());
    QObject::connect(onOff, &QAction::toggled, marker, [marker](bool on) { marker->setOn(on); });
    menu->addSeparator();
    if (languages.isEmpty()) {
        menu->addAction(QCoreApplication::translate("SpellingMenu", "No Dictionaries Installed"))
            ->setEnabled(false);
        return;
    }
    auto* group = new QActionGroup(menu);
    for (const QString& tag : languages) {
        QAction* item = menu->addAction(languageName(tag));
        item->setCheckable(true);
        item->setChecked(tag == marker->language());
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, marker,
                         [marker, tag] { marker->setLanguage(tag); });
    }
}

} // namespace quillet
