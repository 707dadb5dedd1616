#pragma once

// A presenter for tests: records every message and question and answers the
// questions from a script given in advance, in order. The test fails on a
// scripted answer never used, on a question nobody scripted (it is answered
// as a cancel) and on a question of another kind than the next answer.
// Messages that ask nothing (kinds 1 and 4, the system box, opening a
// document) need no answer.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "base/message_seam.h"

namespace mero::test {

class ScriptedPresenter : public base::MessagePresenter {
 public:
  // What was asked or shown, in order.
  enum class Ask { Message, Input, Option, Date, DateRange, Many, Lookup, System, Open, Login };
  struct Shown {
    std::string text;  // message text, prompt, caption, table or path
    int kind;          // the message kind; 0 for the other questions
    int autoCloseMs;
    int fontIndex;
    Ask ask = Ask::Message;
    base::LookupRequest lookup = {};  // for Ask::Lookup
  };

  ScriptedPresenter() : previous_(base::CurrentMessagePresenter()) { base::SetMessagePresenter(this); }
  ~ScriptedPresenter() override {
    base::SetMessagePresenter(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) never used";
  }
  ScriptedPresenter(const ScriptedPresenter&) = delete;
  ScriptedPresenter& operator=(const ScriptedPresenter&) = delete;

  // Queues the answer of the next question of the message window (kinds 2, 3).
  void SetNextAnswer(base::ModalResult answer) { Queue({Ask::Message, answer == base::ModalResult::OK}); }
  void AnswerInput(std::string text, bool ok = true) { Queue({Ask::Input, ok, std::move(text)}); }
  void AnswerOption(int number) { Queue({Ask::Option, true, {}, number}); }
  void AnswerDate(base::TDateTime date) { Queue({Ask::Date, true, {}, 0, date}); }
  void CancelDate() { Queue({Ask::Date, false}); }
  void AnswerDateRange(base::TDateTime from, base::TDateTime to) { Queue({Ask::DateRange, true, {}, 0, from, to}); }
  void CancelDateRange() { Queue({Ask::DateRange, false}); }
  void AnswerMany(std::string value) { Queue({Ask::Many, true, std::move(value)}); }
  // The lookup's answer: the key chosen; CancelLookup keeps the initial value.
  void AnswerLookup(std::string key) { Queue({Ask::Lookup, true, std::move(key)}); }
  void CancelLookup() { Queue({Ask::Lookup, false}); }
  // The login window's answer: the texts typed; CancelLogin presses Cancel.
  void AnswerLogin(std::string user, std::string password) {
    Queue({Ask::Login, true, std::move(user), 0, 0, 0, true, std::move(password)});
  }
  void CancelLogin() { Queue({Ask::Login, false}); }

  base::ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) override {
    shown_.push_back({text, kind, autoCloseMs, fontIndex});
    if (kind != base::mkQuestion && kind != base::mkQuestionCancel) return base::ModalResult::OK;
    const Answer a = Next(Ask::Message, text);
    return a.ok ? base::ModalResult::OK : base::ModalResult::Cancel;
  }
  bool InputStr(int maxLength, const std::string& prompt, std::string& text) override {
    shown_.push_back({prompt, 0, 0, maxLength, Ask::Input});
    const Answer a = Next(Ask::Input, prompt);
    if (a.given) text = a.text;
    return a.ok;
  }
  int ChooseOption(const std::vector<std::string>&, const std::string& caption, int preselect) override {
    shown_.push_back({caption, 0, 0, preselect, Ask::Option});
    const Answer a = Next(Ask::Option, caption);
    return a.given ? a.number : -1;
  }
  bool PickDate(base::TDateTime& date, int, int) override {
    shown_.push_back({"PickDate", 0, 0, 0, Ask::Date});
    const Answer a = Next(Ask::Date, "PickDate");
    if (a.ok) date = a.from;
    return a.ok;
  }
  bool AskDateRange(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                    base::TDateTime& to) override {
    shown_.push_back({caption, 0, 0, 0, Ask::DateRange});
    firstKeys_.push_back(firstKey);
    const Answer a = Next(Ask::DateRange, caption);
    if (a.ok) from = a.from, to = a.to;
    return a.ok;
  }
  std::string ChooseMany(const std::string& caption, const std::string& current,
                         const std::vector<std::string>&) override {
    shown_.push_back({caption, 0, 0, 0, Ask::Many});
    const Answer a = Next(Ask::Many, caption);
    return a.ok ? a.text : current;
  }
  std::string ShowLookup(const base::LookupRequest& request) override {
    shown_.push_back({request.table, 0, 0, 0, Ask::Lookup, request});
    const Answer a = Next(Ask::Lookup, request.table);
    return a.ok ? a.text : request.initialValue;
  }
  void SystemMessage(const std::string& caption, const std::string& text) override {
    shown_.push_back({caption + ": " + text, 0, 0, 0, Ask::System});
  }
  bool OpenDocument(const std::string& path) override {
    shown_.push_back({path, 0, 0, 0, Ask::Open});
    return true;
  }

  // Shown with the remembered user name the window opened with.
  bool AskLogin(std::string& user, std::string& password) override {
    shown_.push_back({user, 0, 0, 0, Ask::Login});
    const Answer a = Next(Ask::Login, "login");
    if (a.ok) user = a.text, password = a.password;
    return a.ok;
  }

  const std::vector<Shown>& AllShown() const { return shown_; }
  // The texts of everything shown or asked, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown_) out.push_back(s.text);
    return out;
  }
  // The first keys handed to AskDateRange, in order.
  const std::vector<std::string>& FirstKeys() const { return firstKeys_; }

 private:
  struct Answer {
    Ask ask;
    bool ok;
    std::string text = {};
    int number = 0;
    base::TDateTime from = 0;
    base::TDateTime to = 0;
    bool given = true;
    std::string password = {};
  };

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }

  Answer Next(Ask ask, const std::string& what) {
    if (answers_.empty()) {
      ADD_FAILURE() << "a question nobody scripted: " << what;
      return {ask, false, {}, 0, 0, 0, false};
    }
    Answer a = answers_.front();
    answers_.pop_front();
    if (a.ask != ask) {
      ADD_FAILURE() << "the next scripted answer is for another kind of question than: " << what;
      return {ask, false, {}, 0, 0, 0, false};
    }
    return a;
  }

  base::MessagePresenter* previous_;
  std::deque<Answer> answers_;
  std::vector<Shown> shown_;
  std::vector<std::string> firstKeys_;
};

}  // namespace mero::test
