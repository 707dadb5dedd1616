#pragma once

// A message presenter for tests: records every message shown and answers
// questions from a script given in advance. A scripted answer that is never
// used fails the test, so a question that stopped being asked is noticed.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "base/message_seam.h"

namespace mero::test {

class ScriptedPresenter : public base::MessagePresenter {
 public:
  struct Shown {
    std::string text;
    int kind;
    int autoCloseMs;
    int fontIndex;
  };

  ScriptedPresenter() : previous_(base::CurrentMessagePresenter()) { base::SetMessagePresenter(this); }
  ~ScriptedPresenter() override {
    base::SetMessagePresenter(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) never used";
  }
  ScriptedPresenter(const ScriptedPresenter&) = delete;
  ScriptedPresenter& operator=(const ScriptedPresenter&) = delete;

  // Queues the answer of the next question.
  void SetNextAnswer(base::ModalResult answer) { answers_.push_back(answer); }

  base::ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) override {
    shown_.push_back({text, kind, autoCloseMs, fontIndex});
    if (answers_.empty()) return base::ModalResult::OK;
    const base::ModalResult r = answers_.front();
    answers_.pop_front();
    return r;
  }

  const std::vector<Shown>& AllShown() const { return shown_; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown_) out.push_back(s.text);
    return out;
  }

 private:
  base::MessagePresenter* previous_;
  std::deque<base::ModalResult> answers_;
  std::vector<Shown> shown_;
};

}  // namespace mero::test
