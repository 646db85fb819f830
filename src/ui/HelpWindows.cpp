#include "ui/HelpWindows.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet::HelpWindows {

namespace {

QString plainText(const QAction* action) {
    QString text = action->text();
    text.remove(QLatin1Char('&'));
    text.remove(QChar(0x2026));
    return text;
}

// Keys the text fields keep for themselves, whatever the menus hold.
const char* const kFieldKeys[][2] = {
    {QT_TRANSLATE_NOOP("QObject", "Delete the word before the cursor"), "Ctrl+Backspace"},
    {QT_TRANSLATE_NOOP("QObject", "Delete the word after the cursor"), "Ctrl+Del"},
    {QT_TRANSLATE_NOOP("QObject", "Top or end of the entry"), "Ctrl+Home, Ctrl+End"},
    {QT_TRANSLATE_NOOP("QObject", "Leave the editor for the list"), "Esc"},
};

} // namespace

QString shortcutList(const QList<QAction*>& actions) {
    QStringList lines;
    for (const QAction* action : actions) {
        if (!action->shortcut().isEmpty()) {
            lines << plainText(action) + QLatin1Char('\t') +
                         action->shortcut().toString(QKeySequence::NativeText);
        }
    }
    for (const auto& [what, keys] : kFieldKeys) {
        lines << QObject::tr(what) + QLatin1Char('\t') + QString::fromLatin1(keys);
    }
    return lines.join(QLatin1Char('\n'));
}

void showShortcuts(QWidget* parent, const QList<QAction*>& actions) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("shortcutsWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QObject::tr("Keyboard Shortcuts"));
    auto* layout = new QVBoxLayout(dialog);
    const QStringList lines = shortcutList(actions).split(QLatin1Char('\n'));
    auto* table = new QTableWidget(int(lines.size()), 2, dialog);
    table->setHorizontalHeaderLabels({QObject::tr("Command"), QObject::tr("Keys")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < lines.size(); ++row) {
        const QStringList cells = lines[row].split(QLatin1Char('\t'));
        table->setItem(row, 0, new QTableWidgetItem(cells.value(0)));
        table->setItem(row, 1, new QTableWidgetItem(cells.value(1)));
    }
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(460, 560);
    dialog->show();
}

void showGuide(QWidget* parent) {
    // One guide window: F1 again brings it forward.
    if (auto* open = parent->findChild<QDialog*>(QStringLiteral("guideWindow"))) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("guideWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QObject::tr("%1 Help").arg(QCoreApplication::applicationName()));
    auto* layout = new QVBoxLayout(dialog);
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName(QStringLiteral("guideText"));
    browser->setAccessibleName(QObject::tr("User guide"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QStringLiteral("qrc:/help/guide.html")));
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(560, 640);
    dialog->show();
}

QString aboutText(const AboutFacts& facts) {
    const QString store = facts.storeFolder.isEmpty() ? QObject::tr("(no folder: HOME is not set)")
                                                      : facts.storeFolder;
    QString text = QObject::tr("%1 %2\nA diary for your desktop.\n\nLicense: MIT.\n\n")
                       .arg(facts.name, facts.version);
    if (!facts.website.isEmpty()) {
        text += QObject::tr("Website: %1\n").arg(facts.website);
    }
    text += QObject::tr("Authors: the Quillet developers\n\n");
    text += QObject::tr("Your diary: %1/entries.sqlite\n").arg(store);
    text += QObject::tr(
        "Backups beside it: entries.sqlite.bak (kept when the diary moved to the cloud folder), "
        "entries.sqlite.v1 (kept before an upgrade of the file)\n");
    text +=
        QObject::tr("Daily copies: %1/backups/ (the last 7 days, then one a week for 4 weeks)\n")
            .arg(store);
    if (!facts.cloudContainer.isEmpty()) {
        text += QObject::tr("Cloud container: %1\n").arg(facts.cloudContainer);
    }
    return text;
}

void showAbout(QWidget* parent, const AboutFacts& facts) {
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(QObject::tr("About %1").arg(facts.name));
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::PlainText);
    box.setText(aboutText(facts));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

} // namespace quillet::HelpWindows
