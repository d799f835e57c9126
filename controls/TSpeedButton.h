// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/TColor.h"

// The states of a drag passing over a control.
enum TDragState : int { dsDragEnter, dsDragLeave, dsDragMove };

// A mouse cursor by its number (crDrag is -12).
using TCursor = int;
constexpr TCursor crDrag = -12;

// Event handlers are plain function objects, called only when assigned. sender is the control that
// raises the event; positions are in its client coordinates.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseEvent =
    std::function<void(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;
// source is the control being dragged; accept starts true and says whether a drop would be taken.
using TDragOverEvent =
    std::function<void(QObject* sender, QObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(QObject* sender, QObject* source, int x, int y)>;
// target is the control that took the drop, null when the drag ended elsewhere (x and y are then 0).
using TEndDragEvent = std::function<void(QObject* sender, QObject* target, int x, int y)>;

// A button that takes no keyboard focus and paints nothing itself: the base of the program's own tool
// buttons. A left press of an enabled button arms a click; the release of the left button disarms it
// and fires OnClick when it lies inside (0 <= x < width, 0 <= y <= height: the bottom bound is
// inclusive). The caption's accelerator ("&x" gives Alt+X) clicks it too. Controls can be dragged onto
// it within the program (OnDragOver, OnDragDrop), and it can start such a drag itself (BeginDrag).
class TSpeedButton : public QWidget {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent = nullptr);

    // The caption; "&" marks the accelerator character, "&&" stands for one "&". Repaints.
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& value);

    // The picture, owned by the button: the setter keeps a copy. Repaints.
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& value);

    // The colour of the caption's text (its font's colour). Repaints.
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor value);

    // The tool tip, shown only while ShowHint is true.
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value) { m_showHint = value; }

    // Stored for the program; while dragging, the drag shows the desktop's own drag cursor.
    TCursor DragCursor() const { return m_dragCursor; }
    void SetDragCursor(TCursor value) { m_dragCursor = value; }

    // Raises OnClick.
    virtual void Click();

    // Starts dragging the button at once and returns when the drag has ended, after raising OnEndDrag.
    virtual void BeginDrag();

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

protected:
    // Raises OnMouseDown; a left press of an enabled button arms the click.
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Raises OnMouseUp; the release of the left button disarms an armed click and fires it when
    // (x, y) lies inside.
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Raises OnMouseMove.
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    // The caption's accelerator was typed: clicks the button when it is enabled and its parent is
    // showing. Returns whether the key was handled.
    virtual bool DialogChar();

    // Disarms a click armed by a press, so that the release fires none.
    void CancelClick() { m_clickArmed = false; }

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void grabAccelerator();
    bool dragOver(QObject* source, QPoint at, TDragState state);

    QString m_caption;
    QImage m_glyph;
    TColor m_fontColor = clWindowText;
    QString m_hint;
    bool m_showHint = false;
    TCursor m_dragCursor = crDrag;
    bool m_clickArmed = false;
    int m_acceleratorId = 0;
    QPointer<QObject> m_dragSource; // the drag over the button, while one is
    QPoint m_lastDragPos;
};
