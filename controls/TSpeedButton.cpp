#include "controls/TSpeedButton.h"

#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <cmath>

namespace {

// Drags of the program's own controls carry this format; drags from other programs are not ours.
const QString kControlDragFormat = QStringLiteral("application/x-track-manager-control");

QPoint pixelOf(const QPointF& position) {
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

} // namespace

TSpeedButton::TSpeedButton(QWidget* Parent) : QWidget(Parent) {
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
}

void TSpeedButton::SetCaption(const QString& Value) {
    if (Value == m_caption)
        return;
    m_caption = Value;
    grabAccelerator();
    update();
}

void TSpeedButton::SetGlyph(const QImage& Value) {
    m_glyph = Value;
    update();
}

void TSpeedButton::SetFontColor(TColor Value) {
    if (Value == m_fontColor)
        return;
    m_fontColor = Value;
    update();
}

void TSpeedButton::SetHint(const QString& Value) {
    m_hint = Value;
    setToolTip(Value);
}

void TSpeedButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TSpeedButton::BeginDrag() {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(kControlDragFormat, {});
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    QObject* target = drag->target();
    QPoint at;
    if (auto* widget = qobject_cast<QWidget*>(target))
        at = widget->mapFromGlobal(QCursor::pos());
    drag->deleteLater();
    if (OnEndDrag)
        OnEndDrag(this, target, at.x(), at.y());
}

void TSpeedButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    if (Button == Qt::LeftButton && isEnabled())
        m_clickArmed = true;
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    bool click = false;
    if (Button == Qt::LeftButton && m_clickArmed) {
        m_clickArmed = false;
        click = X >= 0 && X < width() && Y >= 0 && Y <= height();
    }
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
    if (click)
        Click();
}

void TSpeedButton::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

bool TSpeedButton::DialogChar() {
    const QWidget* parent = parentWidget();
    if (!isEnabled() || !parent || !parent->isVisible())
        return false;
    Click();
    return true;
}

bool TSpeedButton::event(QEvent* Event) {
    switch (Event->type()) {
    case QEvent::Shortcut: {
        const auto* shortcut = static_cast<QShortcutEvent*>(Event);
        if (m_acceleratorId == 0 || shortcut->shortcutId() != m_acceleratorId)
            break;
        Event->setAccepted(DialogChar());
        return true;
    }
    case QEvent::ToolTip:
        if (!m_showHint) {
            Event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(Event);
}

void TSpeedButton::mousePressEvent(QMouseEvent* Event) {
    const QPoint at = pixelOf(Event->position());
    MouseDown(Event->button(), Event->modifiers(), at.x(), at.y());
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* Event) {
    const QPoint at = pixelOf(Event->position());
    MouseUp(Event->button(), Event->modifiers(), at.x(), at.y());
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint at = pixelOf(Event->position());
    MouseMove(Event->modifiers(), at.x(), at.y());
}

bool TSpeedButton::dragOver(QObject* source, QPoint at, TDragState state) {
    bool accept = static_cast<bool>(OnDragOver);
    if (OnDragOver)
        OnDragOver(this, source, at.x(), at.y(), state, accept);
    return accept;
}

void TSpeedButton::dragEnterEvent(QDragEnterEvent* Event) {
    if (!Event->mimeData()->hasFormat(kControlDragFormat)) {
        Event->ignore();
        return;
    }
    m_dragSource = Event->source();
    m_lastDragPos = pixelOf(Event->position());
    if (dragOver(Event->source(), m_lastDragPos, dsDragEnter))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TSpeedButton::dragMoveEvent(QDragMoveEvent* Event) {
    if (!Event->mimeData()->hasFormat(kControlDragFormat)) {
        Event->ignore();
        return;
    }
    m_lastDragPos = pixelOf(Event->position());
    if (dragOver(Event->source(), m_lastDragPos, dsDragMove))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TSpeedButton::dragLeaveEvent(QDragLeaveEvent* Event) {
    // Qt sends no position with a leave: the last one seen stands in.
    dragOver(m_dragSource, m_lastDragPos, dsDragLeave);
    m_dragSource = nullptr;
    Event->accept();
}

void TSpeedButton::dropEvent(QDropEvent* Event) {
    if (!Event->mimeData()->hasFormat(kControlDragFormat) || !OnDragDrop) {
        Event->ignore();
        return;
    }
    const QPoint at = pixelOf(Event->position());
    m_dragSource = nullptr;
    OnDragDrop(this, Event->source(), at.x(), at.y());
    Event->acceptProposedAction();
}

void TSpeedButton::grabAccelerator() {
    if (m_acceleratorId != 0)
        releaseShortcut(m_acceleratorId);
    m_acceleratorId = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(m_caption);
    if (!accelerator.isEmpty())
        m_acceleratorId = grabShortcut(accelerator);
}
