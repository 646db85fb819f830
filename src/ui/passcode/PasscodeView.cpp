#include "ui/passcode/PasscodeView.h"

#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/passcode/PasscodeArt.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace quillet {

namespace {

const QString& kSet = PasscodeFlow::kSet;
const QString& kOff = PasscodeFlow::kOff;
const QString& kChange = PasscodeFlow::kChange;
const QString& kEnterPasscode = PasscodeFlow::kEnterPasscode;
const QString& kEnterNewPasscode = PasscodeFlow::kEnterNewPasscode;
const char* const kNumberOnly = QT_TRANSLATE_NOOP("quillet::PasscodeView", "Number Only");

// The flow's texts are its English keys; they are put in the user's language here.
QString shown(const QString& flowText) {
    return QCoreApplication::translate("PasscodeFlow", flowText.toUtf8().constData());
}

// Counted in characters as the user sees them: a digit outside the Basic
// Multilingual Plane is one key press but two UTF-16 units.
int characterCount(const QString& text) {
    return int(text.toUcs4().size());
}

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

QFont scaledFont(const QFont& base, qreal factor, QFont::Weight weight) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Typing goes to the pin entry; a button never takes the keyboard from it.
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(150);
    return button;
}

} // namespace

PasscodeView::PasscodeView(Utility* utility, QWidget* parent, Role role)
    : QWidget(parent), role_(role), utility_(utility), flow_(PasscodeFlow::Storage::of(utility_)) {
    setObjectName(role == Role::LockScreen ? QStringLiteral("passcodeView")
                                           : QStringLiteral("passcodeSettingView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    if (role_ == Role::LockScreen) {
        buildLockScreen();
    } else {
        buildSettingsPane();
    }
    clearDotBox();
    clearAlertLabel();
    connect(utility_, &Utility::appearanceChanged, this, [this] {
        refreshPinBoxImage();
        update();
    });
}

QWidget* PasscodeView::buildEnterPanel(QWidget* parent) {
    enterPanel_ = new QWidget(parent);
    enterPanel_->setObjectName(QStringLiteral("enterPanel"));
    auto* layout = new QVBoxLayout(enterPanel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    statusText_ = makeLabel(QStringLiteral("statusText"), shown(kEnterPasscode), enterPanel_);
    statusText_->setAlignment(Qt::AlignCenter);
    statusText_->setFont(scaledFont(font(), 1.15, QFont::Normal));
    QPalette muted = statusText_->palette();
    muted.setColor(QPalette::WindowText, QColor(0x4a, 0x4a, 0x4a));
    statusText_->setPalette(muted);
    layout->addWidget(statusText_);

    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addStretch(1);
    const QPixmap box = PasscodeArt::pinBoxImage(qApp->devicePixelRatio());
    for (int i = 0; i < 4; ++i) {
        auto* boxLabel = makeLabel(QStringLiteral("box%1").arg(i + 1), QString(), enterPanel_);
        boxLabel->setPixmap(box);
        boxLabel->setFixedSize(PasscodeArt::kBoxWidth, PasscodeArt::kBoxHeight);
        auto* over = new QGridLayout(boxLabel);
        over->setContentsMargins(0, 0, 0, 3);
        auto* dot = makeLabel(QStringLiteral("dot%1").arg(i + 1), QString(), boxLabel);
        dot->setFixedSize(28, 28);
        dot->setAlignment(Qt::AlignCenter);
        over->addWidget(dot, 0, 0, Qt::AlignCenter);
        boxes_[size_t(i)] = boxLabel;
        dots_[size_t(i)] = dot;
        row->addWidget(boxLabel);
    }
    row->addStretch(1);
    layout->addLayout(row);

    alertText_ = makeLabel(QStringLiteral("alertText"), QString(), enterPanel_);
    alertText_->setAlignment(Qt::AlignCenter);
    QPalette alert = alertText_->palette();
    alert.setColor(QPalette::WindowText, QColor(0xc0, 0x39, 0x2b));
    alertText_->setPalette(alert);
    alertText_->setFont(scaledFont(font(), 1.0, QFont::DemiBold));
    // The line keeps its room while hidden, so the boxes do not jump when it appears.
    QSizePolicy keep = alertText_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    alertText_->setSizePolicy(keep);
    alertText_->setMinimumHeight(alertText_->fontMetrics().height() + 4);
    layout->addWidget(alertText_);
    return enterPanel_;
}

void PasscodeView::buildLockScreen() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 24, 24, 24);
    outer->addStretch(3);

    auto* card = new PasscodeCard(this);
    card->setObjectName(QStringLiteral("passcodeCard"));
    card->setFixedWidth(392);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(44, 36, 44, 32);
    column->setSpacing(10);

    auto* padlock = makeLabel(QStringLiteral("padlock"), QString(), card);
    padlock->setPixmap(
        PasscodeArt::padlockImage(40, QColor(0x5b, 0x5b, 0x5b), false, qApp->devicePixelRatio()));
    padlock->setAlignment(Qt::AlignCenter);
    column->addWidget(padlock);

    lockTitle_ = makeLabel(QStringLiteral("lockTitle"), tr("Your diary is locked"), card);
    lockTitle_->setAlignment(Qt::AlignCenter);
    lockTitle_->setFont(scaledFont(font(), 1.55, QFont::DemiBold));
    QPalette dark = lockTitle_->palette();
    dark.setColor(QPalette::WindowText, QColor(0x2b, 0x2b, 0x2b));
    lockTitle_->setPalette(dark);
    column->addWidget(lockTitle_);
    column->addSpacing(4);
    column->addWidget(buildEnterPanel(card));

    auto* centre = new QHBoxLayout;
    centre->addStretch(1);
    centre->addWidget(card);
    centre->addStretch(1);
    outer->addLayout(centre);
    outer->addStretch(4);
}

void PasscodeView::buildSettingsPane() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 22, 28, 20);
    outer->setSpacing(12);

    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    auto* glyph = makeLabel(QStringLiteral("padlock"), QString(), this);
    glyph->setPixmap(
        PasscodeArt::padlockImage(30, QColor(0x55, 0x55, 0x55), false, qApp->devicePixelRatio()));
    glyph->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    header->addWidget(glyph);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(2);
    auto* title = makeLabel(QStringLiteral("paneTitle"), tr("Passcode Lock"), this);
    title->setFont(scaledFont(font(), 1.3, QFont::DemiBold));
    heading->addWidget(title);
    auto* subtitle =
        makeLabel(QStringLiteral("paneSubtitle"),
                  tr("Ask for a four-digit passcode once each time the diary opens."), this);
    subtitle->setWordWrap(true);
    QPalette grey = subtitle->palette();
    grey.setColor(QPalette::WindowText, QColor(0x6a, 0x6a, 0x6a));
    subtitle->setPalette(grey);
    heading->addWidget(subtitle);
    header->addLayout(heading, 1);
    outer->addLayout(header);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    auto panel = [this](const QString& name, const QString& state, const QString& detail) {
        auto* view = new QWidget(this);
        view->setObjectName(name);
        auto* layout = new QVBoxLayout(view);
        layout->setContentsMargins(0, 6, 0, 0);
        layout->setSpacing(6);
        auto* stateLabel = makeLabel(name + QStringLiteral("State"), state, view);
        stateLabel->setFont(scaledFont(font(), 1.05, QFont::DemiBold));
        layout->addWidget(stateLabel);
        auto* detailLabel = makeLabel(name + QStringLiteral("Detail"), detail, view);
        detailLabel->setWordWrap(true);
        detailLabel->setPalette(findChild<QLabel*>(QStringLiteral("paneSubtitle"))->palette());
        layout->addWidget(detailLabel);
        layout->addSpacing(8);
        return view;
    };

    onPanel_ = panel(QStringLiteral("onPanel"), tr("The passcode lock is off."),
                     tr("Anyone who opens this diary can read it. Turn the lock on to ask for a "
                        "passcode first."));
    turnOnButton_ = makeButton(QStringLiteral("turnOnButton"), tr("Turn Passcode On"), onPanel_);
    auto* onRow = new QHBoxLayout;
    onRow->addWidget(turnOnButton_);
    onRow->addStretch(1);
    static_cast<QVBoxLayout*>(onPanel_->layout())->addLayout(onRow);
    outer->addWidget(onPanel_);

    offPanel_ = panel(QStringLiteral("offPanel"), tr("The passcode lock is on."),
                      tr("The diary asks for the passcode when it opens and stays unlocked until "
                         "you quit."));
    turnOffButton_ =
        makeButton(QStringLiteral("turnOffButton"), tr("Turn Passcode Off"), offPanel_);
    changeButton_ = makeButton(QStringLiteral("changeButton"), tr("Change Passcode"), offPanel_);
    auto* offRow = new QHBoxLayout;
    offRow->setSpacing(10);
    offRow->addWidget(turnOffButton_);
    offRow->addWidget(changeButton_);
    offRow->addStretch(1);
    static_cast<QVBoxLayout*>(offPanel_->layout())->addLayout(offRow);
    outer->addWidget(offPanel_);

    QWidget* entry = buildEnterPanel(this);
    static_cast<QVBoxLayout*>(entry->layout())->setContentsMargins(0, 10, 0, 0);
    cancelButton_ = makeButton(QStringLiteral("cancelButton"), tr("Cancel"), entry);
    cancelButton_->setMinimumWidth(100);
    auto* cancelRow = new QHBoxLayout;
    cancelRow->addStretch(1);
    cancelRow->addWidget(cancelButton_);
    cancelRow->addStretch(1);
    static_cast<QVBoxLayout*>(entry->layout())->addLayout(cancelRow);
    outer->addWidget(entry);
    outer->addStretch(1);

    connect(turnOnButton_, &QPushButton::clicked, this, [this] { turnOnPasscode(turnOnButton_); });
    connect(turnOffButton_, &QPushButton::clicked, this,
            [this] { turnOffPasscode(turnOffButton_); });
    connect(changeButton_, &QPushButton::clicked, this, [this] { changePasscode(changeButton_); });
    // Leaving a flow half-way is what returning to the window does too.
    connect(cancelButton_, &QPushButton::clicked, this, [this] { prepareUI(); });

    showPanelsForLockFlag();
    enterPanel_->hide();
}

// ---- Modes

void PasscodeView::showPanelsForLockFlag() {
    if (!onPanel_ || !offPanel_) {
        return;
    }
    const bool locked = utility_->isPasscodeLocked();
    onPanel_->setVisible(!locked);
    offPanel_->setVisible(locked);
}

void PasscodeView::prepareUI() {
    showPanelsForLockFlag();
    enterPanel_->hide();
    pinEntered_.clear();
    flow_.setViewType(QString());
    clearDotBox();
    clearAlertLabel();
}

void PasscodeView::startFlow(const QString& type, const QString& title) {
    flow_.setViewType(type);
    setTitleLabelText(title);
    enterPanel_->show();
    if (onPanel_) {
        onPanel_->hide();
    }
    if (offPanel_) {
        offPanel_->hide();
    }
    pinEntered_.clear();
    clearDotBox();
    takeFocus();
}

void PasscodeView::turnOnPasscode(QObject* sender) {
    Q_UNUSED(sender);
    startFlow(kSet, kEnterNewPasscode);
}

void PasscodeView::turnOffPasscode(QObject* sender) {
    Q_UNUSED(sender);
    startFlow(kOff, kEnterPasscode);
}

void PasscodeView::changePasscode(QObject* sender) {
    Q_UNUSED(sender);
    startFlow(kChange, kEnterPasscode);
}

void PasscodeView::passcodeEntered() {
    const PasscodeFlow::Step step = flow_.passcodeEntered(getPasscode());
    if (step.clearEntry) {
        clearPasscode();
    }
    if (step.clearAlert) {
        clearAlertLabel();
    }
    if (step.alert) {
        showAlertLabelWithText(*step.alert);
    }
    if (step.title) {
        setTitleLabelText(*step.title);
    }
    if (step.finished) {
        enterPanel_->hide();
        showPanelsForLockFlag();
    }
    if (step.unlocked) {
        NotificationCenter::defaultCenter().postNotification(QStringLiteral("PasscodeValid"),
                                                             nullptr);
    }
}

void PasscodeView::clearPasscode() {
    pinEntered_.clear();
}

// ---- Texts and dots

void PasscodeView::setTitleLabelText(const QString& text) {
    statusText_->setText(shown(text));
}

void PasscodeView::showAlertLabelWithText(const QString& text) {
    alertText_->setText(shown(text));
    alertText_->show();
}

void PasscodeView::clearAlertLabel() {
    alertText_->setText(QString());
    alertText_->hide();
}

QString PasscodeView::dotImageName() {
    if (utility_->applicationModel() == 2) {
        return Utility::imageName(utility_->themeIconImageName(),
                                  int(QRandomGenerator::global()->bounded(6)));
    }
    return utility_->themeVariantImageName(QStringLiteral("dot.png"));
}

QPixmap PasscodeView::getDotImage() {
    return ImageLibrary::imageNamed(dotImageName());
}

void PasscodeView::refreshPinBoxImage() {
    for (QLabel* dot : dots_) {
        dot->setPixmap(getDotImage());
    }
}

void PasscodeView::clearDotBox() {
    for (QLabel* dot : dots_) {
        dot->hide();
    }
}

void PasscodeView::showDots(int count) {
    for (int i = 0; i < 4; ++i) {
        dots_[size_t(i)]->setVisible(i < count);
    }
}

// ---- Keys

bool PasscodeView::isSingleDigit(const QString& text) {
    const QList<uint> points = text.toUcs4();
    return points.size() == 1 &&
           QChar::category(char32_t(points.front())) == QChar::Number_DecimalDigit;
}

void PasscodeView::deleteBackward() {
    clearAlertLabel();
    if (pinEntered_.isEmpty()) {
        return;
    }
    const qsizetype last = pinEntered_.size() - 1;
    const bool pair = last > 0 && pinEntered_.at(last).isLowSurrogate() &&
                      pinEntered_.at(last - 1).isHighSurrogate();
    pinEntered_.chop(pair ? 2 : 1);
    const int remaining = characterCount(pinEntered_);
    if (remaining <= 3) {
        showDots(remaining);
    }
}

void PasscodeView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    // A modifier on its own is no key press of its own; it only shapes the next one.
    if (isModifierKey(event->key())) {
        return;
    }
    refreshPinBoxImage();
    const QString text = event->text();
    if (isSingleDigit(text)) {
        clearAlertLabel();
        pinEntered_ += text;
        const int count = characterCount(pinEntered_);
        if (count <= 3) {
            showDots(count);
        } else if (count == 4) {
            showDots(0);
            passcodeEntered();
        }
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        deleteBackward();
        return;
    }
    alertText_->setText(tr(kNumberOnly));
    alertText_->show();
}

bool PasscodeView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Plain keys belong to the pin entry; command shortcuts stay with the
        // menus, and Escape with the window (it closes the settings).
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        // Straight to the entry: Tab and Backtab would otherwise move the focus away.
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    default:
        break;
    }
    return QWidget::event(event);
}

bool PasscodeView::focusNextPrevChild(bool next) {
    Q_UNUSED(next);
    return false;
}

// ---- Focus and visibility

void PasscodeView::takeFocus() {
    if (!hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
}

void PasscodeView::setVisible(bool visible) {
    if (!visible) {
        clearDotBox();
        pinEntered_.clear();
    }
    QWidget::setVisible(visible);
}

void PasscodeView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    takeFocus();
}

void PasscodeView::enterEvent(QEnterEvent* event) {
    takeFocus();
    QWidget::enterEvent(event);
}

void PasscodeView::mousePressEvent(QMouseEvent* event) {
    takeFocus();
    QWidget::mousePressEvent(event);
}

void PasscodeView::paintEvent(QPaintEvent* event) {
    if (role_ != Role::LockScreen) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QPixmap tile =
        ImageLibrary::imageNamed(Utility::imageName(utility_->themePasscodeImageName(), 0));
    if (tile.isNull()) {
        painter.fillRect(rect(), palette().window());
    } else {
        painter.drawTiledPixmap(rect(), tile);
    }
}

} // namespace quillet
