// What the user must be told goes through this interface: the GUI shows message boxes,
// unattended modes and tests record or suppress the texts.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace tlx {

enum class MessageKind { Error, Warning, Information, Question };
enum class Answer { Ok, Yes, No, Cancel };
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };

class Messages {
  public:
    virtual ~Messages() = default;
    virtual void show(MessageKind kind, const std::string& text) = 0;
    virtual Answer ask(const std::string& text, Buttons buttons) = 0;

    void error(const std::string& text) { show(MessageKind::Error, text); }
    void warning(const std::string& text) { show(MessageKind::Warning, text); }
    void information(const std::string& text) { show(MessageKind::Information, text); }
};

struct RecordedMessage {
    MessageKind kind;
    std::string text;
};

// Keeps every text; questions take prepared answers in order, then the default answer.
class RecordingMessages : public Messages {
  public:
    explicit RecordingMessages(Answer defaultAnswer = Answer::Yes) : defaultAnswer_(defaultAnswer) {}

    void show(MessageKind kind, const std::string& text) override;
    Answer ask(const std::string& text, Buttons buttons) override;

    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    const std::vector<RecordedMessage>& messages() const { return messages_; }
    std::vector<std::string> texts() const;
    bool contains(const std::string& text) const;
    void clear() { messages_.clear(); }

  private:
    Answer defaultAnswer_;
    std::deque<Answer> answers_;
    std::vector<RecordedMessage> messages_;
};

} // namespace tlx
