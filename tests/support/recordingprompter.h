#pragma once

#include "widgets/guard.h"

#include <QList>
#include <functional>
#include <QStringList>

// Stands in for the person in front of the screen: records every message
// and answers questions and file dialogs from scripted queues.
class RecordingPrompter : public kestrova::Prompter {
public:
    RecordingPrompter() { kestrova::setPrompter(this); }
    ~RecordingPrompter() override { kestrova::setPrompter(nullptr); }

    struct Shown {
        QString text;
        QMessageBox::Icon icon;
    };
    QList<Shown> messages;
    QStringList questions;
    QList<bool> answers;   // next answers to questions; default No
    QStringList fileNames; // next answers to open-file dialogs
    // Fills in a dialog as the person would; without one, it is cancelled.
    std::function<bool(QDialog&)> filler;

    void message(const QString& text, QMessageBox::Icon icon) override { messages << Shown{text, icon}; }
    bool ask(const QString& text) override
    {
        questions << text;
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    QString openFileName(const QString&, const QString&) override
    {
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    bool fillIn(QDialog& dialog) override { return filler ? filler(dialog) : false; }
    QStringList errors() const
    {
        QStringList out;
        for (const Shown& s : messages)
            if (s.icon == QMessageBox::Critical)
                out << s.text;
        return out;
    }
};
