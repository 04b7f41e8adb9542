#pragma once
// A prompter that records every message and answers from a script (default: Yes / Ok).
#include "platform/Prompter.h"
#include <QList>
#include <QStringList>

namespace pagero::test {

class ScriptedPrompter : public Prompter {
public:
    ScriptedPrompter() { InstallPrompter(this); }
    ~ScriptedPrompter() override { InstallPrompter(nullptr); }
    PromptAnswer Ask(PromptKind kind, const QString &text, const QString & = QString()) override
    {
        kinds.append(kind);
        texts.append(text);
        if (!answers.isEmpty()) return answers.takeFirst();
        return kind == PromptKind::Confirmation || kind == PromptKind::Question ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    QList<PromptAnswer> answers;   // consumed in order
    QList<PromptKind> kinds;
    QStringList texts;
};

} // namespace pagero::test
