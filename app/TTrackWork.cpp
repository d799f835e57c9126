// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TTrackWork.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "app/PlayerTexts.h"

TTrackWork::TTrackWork(QLabel& status, const QString& verb, qsizetype total, int intervalMs,
                       std::function<void(qsizetype, qsizetype)> onShown)
    : m_status(status), m_verb(verb), m_total(total), m_intervalMs(intervalMs),
      m_onShown(std::move(onShown)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
    m_sincePump.start();
}

TTrackWork::~TTrackWork() {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (m_closing) {
        QPointer<QWidget> window = m_closing;
        QTimer::singleShot(0, window, [window] { window->close(); });
    }
}

bool TTrackWork::proceed(qsizetype index) {
    if (!m_cancelled && m_sincePump.elapsed() >= m_intervalMs) {
        m_status.setText(m_verb + " " + CountText(index + 1) + " of " + CountText(m_total) +
                         " (Esc cancels)");
        if (m_onShown)
            m_onShown(index, m_total);
        QApplication::processEvents();
        m_sincePump.restart();
    }
    return !m_cancelled;
}

bool TTrackWork::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_cancelled = true;
        return true;
    case QEvent::Close:
        // Closing the window mid-way cancels; it closes once the track in hand is done.
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            m_cancelled = true;
            m_closing = static_cast<QWidget*>(watched);
            event->ignore();
            return true;
        }
        return false;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}
