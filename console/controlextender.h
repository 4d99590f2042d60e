// What the console keeps for each page it holds: its placement and visibility in twips, and
// the console object itself as "Parent", all reachable by name from the page.
#pragma once

#include "twips.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class ControlExtender : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(QObject *Parent READ Parent)
public:
    ControlExtender(QObject *console, QWidget *control, QObject *parent = nullptr)
        : QObject(parent), m_console(console), m_control(control) {}

    bool Visible() const { return m_control && m_control->isVisible(); }
    void SetVisible(bool v) { if (m_control) m_control->setVisible(v); }
    int Left() const { return m_control ? twips::FromPixels(m_control->x()) : 0; }
    void SetLeft(int twipsLeft) { if (m_control) m_control->move(twips::ToPixels(twipsLeft), m_control->y()); }
    int Top() const { return m_control ? twips::FromPixels(m_control->y()) : 0; }
    void SetTop(int twipsTop) { if (m_control) m_control->move(m_control->x(), twips::ToPixels(twipsTop)); }
    QObject *Parent() const { return m_console; }

private:
    QPointer<QObject> m_console;
    QPointer<QWidget> m_control;
};
