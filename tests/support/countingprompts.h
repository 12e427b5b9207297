#pragma once

#include "ui/prompts.h"

#include <cstdio>
#include <deque>

namespace horalink {

// Answers every box at once, with the next of the answers given or else its default button,
// and every input box with its preset, as an unattended run must; each box is told on standard
// error and counted.
class CountingPrompts : public Prompts
{
public:
    Button message(const Box &box) override
    {
        std::fprintf(stderr, "BOX %s | %s\n", qPrintable(box.title), qPrintable(box.text));
        ++shown;
        if (answers.empty())
            return box.defaultButton;
        const Button answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString input(const QString &, const QString &, const QString &preset) override
    {
        return preset;
    }
    QString folder(const QString &, const QString &) override { return {}; }
    std::unique_ptr<ProgressBox> progress(const QString &, int) override
    {
        return std::make_unique<Uncancelled>();
    }
    int shown = 0;
    std::deque<Button> answers;

private:
    class Uncancelled : public ProgressBox
    {
    public:
        bool next(int, const QString &) override { return true; }
    };
};

} // namespace horalink
