// SPDX-License-Identifier: GPL-3.0-or-later
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

TSpeedButton::TSpeedButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
}

void TSpeedButton::SetCaption(const QString& value) {
    if (value == m_caption)
        return;
    m_caption = value;
    grabAccelerator();
    update();
}

void TSpeedButton::SetGlyph(const QImage& value) {
    m_glyph = value;
    update();
}

void TSpeedButton::SetFontColor(TColor value) {
    if (value == m_fontColor)
        return;
    m_fontColor = value;
    update();
}

void TSpeedButton::SetHint(const QString& value) {
    m_hint = value;
    setToolTip(value);
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

void TSpeedButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton && isEnabled())
        m_clickArmed = true;
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TSpeedButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    bool click = false;
    if (button == Qt::LeftButton && m_clickArmed) {
        m_clickArmed = false;
        click = x >= 0 && x < width() && y >= 0 && y <= height();
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    if (click)
        Click();
}

void TSpeedButton::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

bool TSpeedButton::DialogChar() {
    const QWidget* parent = parentWidget();
    if (!isEnabled() || !parent || !parent->isVisible())
        return false;
    Click();
    return true;
}

bool TSpeedButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Shortcut: {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (m_acceleratorId == 0 || shortcut->shortcutId() != m_acceleratorId)
            break;
        event->setAccepted(DialogChar());
        return true;
    }
    case QEvent::ToolTip:
        if (!m_showHint) {
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TSpeedButton::mousePressEvent(QMouseEvent* event) {
    const QPoint at = pixelOf(event->position());
    MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = pixelOf(event->position());
    MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = pixelOf(event->position());
    MouseMove(event->modifiers(), at.x(), at.y());
}

bool TSpeedButton::dragOver(QObject* source, QPoint at, TDragState state) {
    bool accept = static_cast<bool>(OnDragOver);
    if (OnDragOver)
        OnDragOver(this, source, at.x(), at.y(), state, accept);
    return accept;
}

void TSpeedButton::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasFormat(kControlDragFormat)) {
        event->ignore();
        return;
    }
    m_dragSource = event->source();
    m_lastDragPos = pixelOf(event->position());
    if (dragOver(event->source(), m_lastDragPos, dsDragEnter))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TSpeedButton::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(kControlDragFormat)) {
        event->ignore();
        return;
    }
    m_lastDragPos = pixelOf(event->position());
    if (dragOver(event->source(), m_lastDragPos, dsDragMove))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TSpeedButton::dragLeaveEvent(QDragLeaveEvent* event) {
    // Qt sends no position with a leave: the last one seen stands in.
    dragOver(m_dragSource, m_lastDragPos, dsDragLeave);
    m_dragSource = nullptr;
    event->accept();
}

void TSpeedButton::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kControlDragFormat) || !OnDragDrop) {
        event->ignore();
        return;
    }
    const QPoint at = pixelOf(event->position());
    m_dragSource = nullptr;
    OnDragDrop(this, event->source(), at.x(), at.y());
    event->acceptProposedAction();
}

void TSpeedButton::grabAccelerator() {
    if (m_acceleratorId != 0)
        releaseShortcut(m_acceleratorId);
    m_acceleratorId = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(m_caption);
    if (!accelerator.isEmpty())
        m_acceleratorId = grabShortcut(accelerator);
}
