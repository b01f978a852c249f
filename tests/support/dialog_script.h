// Answering the program's modal boxes and requesters from a script instead
// of a person: while a script is attached to a desktop, every message box,
// file requester and colour requester is shown as usual, described to the
// script, and then answered the way the script says (a button, Escape, a
// typed file name). Tests drive the program through this, so
// none waits on a user.
#pragma once

#include "requesters.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace nimbel {
class Desktop;
}

namespace nimbel::testing_support {

struct ShownMessage {
    std::string title;
    std::string text;
    MessageButtons buttons = MessageButtons::ok;
    MessageIcon icon = MessageIcon::none;
    std::string defaultButton;  // the text of the default button, "" when none
};

// How the script dismisses a message box: by a button, or as a user would
// without one.
enum class MessageReply { ok, yes, no, cancel, escapeKey };

enum class RequesterKind { open, save };

struct ShownRequester {
    RequesterKind kind = RequesterKind::open;
    std::string title;
    std::string folder;                // the folder the requester shows
    std::string fileName;              // what the file-name box holds
    std::vector<std::string> filters;  // as the filter list shows them
    std::string selectedFilter;
};

// Answers given in advance, in order; remembers what it was shown. A dialog
// that finds no answer of its kind waiting is cancelled (Escape for a
// message box) and counted, so a test that forgot one fails instead of
// hanging. A requester is answered by typing a name and accepting (a bare
// file name is taken in the shown folder, a full path as it is), or by
// cancelling.
class QueuedDialogScript {
public:
    // Answers the dialogs of `desktop` from now until destroyed.
    explicit QueuedDialogScript(Desktop& desktop);
    ~QueuedDialogScript();
    QueuedDialogScript(const QueuedDialogScript&) = delete;
    QueuedDialogScript& operator=(const QueuedDialogScript&) = delete;

    void expectMessage(MessageReply reply) { answers_.push_back({Kind::message, reply, {}, {}}); }
    void expectFileName(std::string typed) { answers_.push_back({Kind::requester, {}, std::move(typed), {}}); }
    void expectRequesterCancel() { answers_.push_back({Kind::requester, {}, std::nullopt, {}}); }
    void expectColor(std::uint32_t color) { answers_.push_back({Kind::color, {}, {}, color}); }
    void expectColorCancel() { answers_.push_back({Kind::color, {}, {}, std::nullopt}); }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<ShownRequester>& requesters() const { return requesters_; }
    int unanswered() const { return unanswered_; }  // dialogs that found no fitting answer

private:
    enum class Kind { message, requester, color };
    struct Answer {
        Kind kind;
        MessageReply message;
        std::optional<std::string> fileName;
        std::optional<std::uint32_t> color;
    };

    // The next answer when it is of this kind; otherwise counts the dialog as unanswered.
    std::optional<Answer> next(Kind kind);

    Desktop& desktop_;
    std::deque<Answer> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<ShownRequester> requesters_;
    int unanswered_ = 0;
};

}  // namespace nimbel::testing_support
