// Fakes of the console for page tests: a services object that records messages and answers
// questions from a script, and a container extender whose parent records the toolbar calls.
#pragma once

#include "commonservices.h"

#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <QVariant>
#include <QVector>

class FakeCommonServices : public ICommonServices {
public:
    QStringList messages, questions, tips;
    QVector<qint32> answers;   // answers given in order; no more answers -> no
    QPixmap tipPicture;
    QString GetAppTitle() override { return QStringLiteral("Quillmark 6 Administrator"); }
    void ShowMessage(const QString &text, qint32) override { messages << text; }
    void AskYesNo(const QString &text, qint32, qint32 &answer) override
    {
        questions << text;
        answer = answers.isEmpty() ? QM6_ANSWER_NO : answers.takeFirst();
    }
    void ShowTip(const QString &text, const QString &, const QString &, qint32, const QString &, qint32, qint32 &result) override
    {
        tips << text;
        result = 0;
    }
    QPixmap TipPicture() override { return tipPicture; }
};

struct ToolbarCall {
    QVariant action;
    bool enabled;
};

class FakeConsole : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ToolbarRedraw READ toolbarRedraw WRITE setToolbarRedraw)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
public:
    QVector<ToolbarCall> calls;
    QVector<bool> redrawSets, enabledSets;
    Q_INVOKABLE void SetToolbar(const QVariant &action, bool enabled) { calls.append({action, enabled}); }
    bool toolbarRedraw() const { return redrawSets.isEmpty() || redrawSets.last(); }
    void setToolbarRedraw(bool v) { redrawSets.append(v); }
    bool enabled() const { return enabledSets.isEmpty() || enabledSets.last(); }
    void setEnabled(bool v) { enabledSets.append(v); }

    // The last state set for an action in the most recent run of calls.
    QVariant lastState(const QVariant &action) const
    {
        for (qsizetype i = calls.size() - 1; i >= 0; --i)
            if (calls[i].action == action)
                return calls[i].enabled;
        return QVariant();
    }
};

class FakeExtender : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible MEMBER visible)
    Q_PROPERTY(int Left MEMBER left)
    Q_PROPERTY(int Top MEMBER top)
    Q_PROPERTY(QObject *Parent MEMBER parent)
public:
    bool visible = true;
    int left = 0, top = 0;
    QObject *parent = nullptr;
};
