#pragma once

#include <QString>
#include <QToolButton>

class QAction;

namespace quillet {

// A tool button that runs an action but keeps a label of its own. A plain
// QToolButton copies its action's text back whenever the action changes
// (enabled, checked), so the short toolbar labels turned into the menu texts
// after the lock screen had disabled and re-enabled the actions.
class LabelledToolButton : public QToolButton {
    Q_OBJECT
public:
    LabelledToolButton(QAction* action, const QString& label, QWidget* parent = nullptr);

protected:
    void actionEvent(QActionEvent* event) override;

private:
    QString label_;
};

} // namespace quillet
