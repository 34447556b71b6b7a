#pragma once

// Test doubles of the dialog provider and the modal-window runner. Header-only because they report
// through GoogleTest: include this only from test programs.

#include "support/DialogProvider.h"
#include "support/Seams.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QList>

#include <deque>
#include <functional>

#include <ostream>

#ifndef CONTIVO_QSTRING_PRINTER
#define CONTIVO_QSTRING_PRINTER
/// Lets GoogleTest print QString (and lists of them) as text in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
#endif

namespace contivo::testing {

enum class DialogKind { Message, OpenFile, SaveFile, Color, Folder };

inline const char* dialogKindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Message:
        return "message box";
    case DialogKind::OpenFile:
        return "open-file dialog";
    case DialogKind::SaveFile:
        return "save-file dialog";
    case DialogKind::Color:
        return "colour dialog";
    case DialogKind::Folder:
        return "folder dialog";
    }
    return "dialog";
}

/// One dialog the code under test asked for.
struct DialogCall {
    DialogKind kind = DialogKind::Message;
    QString title;
    QString text; ///< message text; for other dialogs the filter (file) or initial folder (folder)
    unsigned flags = 0; ///< MB_* flags of a message box
    FileDialogRequest file; ///< file dialogs only
    QColor initialColor; ///< colour dialog only
    bool expected = true; ///< false when no answer was queued for it
};

/// Records every dialog and answers from a queue. A dialog with no queued answer, or with an answer
/// of another kind, fails the running test (and is answered Cancel/No/empty); answers left unused
/// when the provider is destroyed fail it too. Installs itself for its lifetime.
class ScriptedDialogProvider : public DialogProvider {
public:
    ScriptedDialogProvider()
        : m_previous(DialogProvider::setInstance(this))
    {
    }
    ~ScriptedDialogProvider() override
    {
        DialogProvider::setInstance(m_previous);
        if (m_checkUnused && !m_answers.empty())
            ADD_FAILURE() << m_answers.size() << " queued dialog answer(s) never used; the next is for: "
                          << dialogKindName(m_answers.front().kind);
    }
    ScriptedDialogProvider(const ScriptedDialogProvider&) = delete;
    ScriptedDialogProvider& operator=(const ScriptedDialogProvider&) = delete;

    /// Queues the button (IDOK, IDYES, ...) the next message box answers.
    ScriptedDialogProvider& answerMessage(int id) { return queue({ DialogKind::Message, id, {}, {} }); }
    ScriptedDialogProvider& answerOpenFile(const QString& path)
    {
        return queue({ DialogKind::OpenFile, 0, path, {} });
    }
    ScriptedDialogProvider& answerSaveFile(const QString& path)
    {
        return queue({ DialogKind::SaveFile, 0, path, {} });
    }
    ScriptedDialogProvider& answerColor(const QColor& color)
    {
        return queue({ DialogKind::Color, 0, {}, color });
    }
    ScriptedDialogProvider& answerFolder(const QString& path)
    {
        return queue({ DialogKind::Folder, 0, path, {} });
    }
    /// Do not fail when answers are left over at destruction.
    void allowUnusedAnswers() { m_checkUnused = false; }

    const QList<DialogCall>& calls() const { return m_calls; }
    /// Only the message boxes.
    QList<DialogCall> messages() const
    {
        QList<DialogCall> result;
        for (const DialogCall& call : m_calls)
            if (call.kind == DialogKind::Message)
                result.append(call);
        return result;
    }
    /// Calls for which nothing was queued.
    int unexpectedCount() const
    {
        int count = 0;
        for (const DialogCall& call : m_calls)
            count += call.expected ? 0 : 1;
        return count;
    }
    qsizetype pendingAnswers() const { return static_cast<qsizetype>(m_answers.size()); }

    int messageBox(QWidget*, const QString& title, const QString& text, unsigned flags) override
    {
        DialogCall call { DialogKind::Message, title, text, flags, {}, {}, true };
        const Answer* answer = take(call);
        return answer ? answer->id : messageBoxEscapeButton(flags);
    }
    QString openFileName(QWidget*, const FileDialogRequest& request) override
    {
        const Answer* answer
            = take({ DialogKind::OpenFile, request.title, request.filter, 0, request, {}, true });
        return answer ? answer->path : QString();
    }
    QString saveFileName(QWidget*, const FileDialogRequest& request) override
    {
        const Answer* answer
            = take({ DialogKind::SaveFile, request.title, request.filter, 0, request, {}, true });
        return answer ? answer->path : QString();
    }
    QColor chooseColor(QWidget*, const QString& title, const QColor& initial) override
    {
        const Answer* answer = take({ DialogKind::Color, title, {}, 0, {}, initial, true });
        return answer ? answer->color : QColor();
    }
    QString chooseFolder(QWidget*, const QString& title, const QString& initialFolder) override
    {
        const Answer* answer = take({ DialogKind::Folder, title, initialFolder, 0, {}, {}, true });
        return answer ? answer->path : QString();
    }

private:
    struct Answer {
        DialogKind kind;
        int id;
        QString path;
        QColor color;
    };

    ScriptedDialogProvider& queue(Answer answer)
    {
        m_answers.push_back(std::move(answer));
        return *this;
    }

    const Answer* take(DialogCall call)
    {
        if (m_answers.empty() || m_answers.front().kind != call.kind) {
            call.expected = false;
            m_calls.append(call);
            ADD_FAILURE() << "Unexpected " << dialogKindName(call.kind) << " \"" << call.title.toStdString()
                          << ": " << call.text.toStdString() << "\""
                          << (m_answers.empty() ? std::string(" (no answer queued)")
                                                : std::string(" (the next answer is for another kind: ")
                                         + dialogKindName(m_answers.front().kind) + ")");
            return nullptr;
        }
        m_calls.append(call);
        m_current = m_answers.front();
        m_answers.pop_front();
        return &m_current;
    }

    DialogProvider* m_previous;
    QList<DialogCall> m_calls;
    std::deque<Answer> m_answers;
    Answer m_current { DialogKind::Message, 0, {}, {} };
    bool m_checkUnused = true;
};

/// Drives modal windows in tests: each RunModal() shows the dialog without blocking, hands it to
/// the next queued handler (which fills fields, clicks buttons, may open nested windows), then
/// rejects the dialog if the handler left it open, and returns its result code. A modal window
/// nobody expected fails the test and is rejected. Installs itself for its lifetime.
class ScriptedModalRunner : public ModalRunner {
public:
    using Handler = std::function<void(QDialog&)>;

    ScriptedModalRunner()
        : m_previous(ModalRunner::setInstance(this))
    {
    }
    ~ScriptedModalRunner() override
    {
        ModalRunner::setInstance(m_previous);
        if (!m_handlers.empty())
            ADD_FAILURE() << m_handlers.size() << " queued modal-window handler(s) never used";
    }
    ScriptedModalRunner(const ScriptedModalRunner&) = delete;
    ScriptedModalRunner& operator=(const ScriptedModalRunner&) = delete;

    ScriptedModalRunner& expect(Handler handler)
    {
        m_handlers.push_back(std::move(handler));
        return *this;
    }
    /// Object names of the windows run so far, in order.
    const QStringList& ran() const { return m_ran; }

    int run(QDialog& dialog) override
    {
        m_ran.append(dialog.objectName());
        if (m_handlers.empty()) {
            ADD_FAILURE() << "Unexpected modal window \"" << dialog.objectName().toStdString() << "\" ("
                          << dialog.windowTitle().toStdString() << ")";
            dialog.setResult(QDialog::Rejected);
            return QDialog::Rejected;
        }
        Handler handler = std::move(m_handlers.front());
        m_handlers.pop_front();
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        QCoreApplication::processEvents();
        handler(dialog);
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    }

private:
    ModalRunner* m_previous;
    std::deque<Handler> m_handlers;
    QStringList m_ran;
};

}
