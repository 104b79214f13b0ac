#pragma once
// Test stand-in for the message boxes: records every box shown and answers from a script (OK, or the
// first button of the box, when the script is empty), so no test blocks.

#include "app/MessageBoxes.h"

#include <deque>
#include <vector>

class ScriptedMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        QString text, title;
        Buttons buttons;
        Icon icon;
    };

    std::vector<Shown> shown;
    std::deque<Answer> answers;

    Answer Show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.push_back(Shown{text, title, buttons, icon});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
};
