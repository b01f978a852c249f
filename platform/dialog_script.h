// Answering the modal boxes and requesters from a script instead of a
// person: while a script is installed, every message box, file requester
// and colour requester is shown as usual, described to the script, and then
// answered the way the script says (a button, Escape, the close box, a typed
// file name). Tests drive the program through this, so none waits on a user.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace nimbel {

enum class MessageButtons { ok, yesNo, yesNoCancel };
enum class MessageIcon { none, error };
enum class MessageAnswer { ok, yes, no, cancel };

struct ShownMessage {
    std::string title;
    std::string text;
    MessageButtons buttons = MessageButtons::ok;
    MessageIcon icon = MessageIcon::none;
    std::string defaultButton;  // the text of the default button, "" when none
};

// How the script dismisses a message box: by a button, or as a user would
// without one.
enum class MessageReply { ok, yes, no, cancel, escapeKey, closeBox };

enum class RequesterKind { open, save };

struct ShownRequester {
    RequesterKind kind = RequesterKind::open;
    std::string title;
    std::string folder;                // the folder the requester shows
    std::string fileName;              // what the file-name box holds
    std::vector<std::string> filters;  // as the filter list shows them
    std::string selectedFilter;
    bool confirmsOverwrite = false;
    std::string defaultSuffix;  // added to a name typed without one; "" = none
};

// A requester is answered by typing a name and accepting (a bare file name
// is taken in the shown folder, a full path as it is), or by cancelling (nothing).
using RequesterReply = std::optional<std::string>;

struct ShownColorRequester {
    std::uint32_t initialColor = 0;  // 0x00BBGGRR
};
// A colour (0x00BBGGRR), or nothing to cancel.
using ColorReply = std::optional<std::uint32_t>;

class DialogScript {
public:
    virtual ~DialogScript() = default;
    virtual MessageReply answerMessage(const ShownMessage& shown) = 0;
    virtual RequesterReply answerRequester(const ShownRequester& shown) = 0;
    virtual ColorReply answerColor(const ShownColorRequester& shown) = 0;
};

// A script of answers given in advance, in order, that remembers what it
// was shown. A dialog that finds no answer waiting is cancelled (Escape for
// a message box) and counted, so a test that forgot one fails instead of hanging.
class QueuedDialogScript final : public DialogScript {
public:
    void expectMessage(MessageReply reply) { answers_.push_back({Kind::message, reply, {}, {}}); }
    void expectFileName(std::string typed) { answers_.push_back({Kind::requester, {}, std::move(typed), {}}); }
    void expectRequesterCancel() { answers_.push_back({Kind::requester, {}, std::nullopt, {}}); }
    void expectColor(std::uint32_t color) { answers_.push_back({Kind::color, {}, {}, color}); }
    void expectColorCancel() { answers_.push_back({Kind::color, {}, {}, std::nullopt}); }

    MessageReply answerMessage(const ShownMessage& shown) override;
    RequesterReply answerRequester(const ShownRequester& shown) override;
    ColorReply answerColor(const ShownColorRequester& shown) override;

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<ShownRequester>& requesters() const { return requesters_; }
    const std::vector<ShownColorRequester>& colorRequesters() const { return colorRequesters_; }
    int unanswered() const { return unanswered_; }           // dialogs that found no fitting answer
    std::size_t pending() const { return answers_.size(); }  // answers never asked for

private:
    enum class Kind { message, requester, color };
    struct Answer {
        Kind kind;
        MessageReply message;
        RequesterReply fileName;
        ColorReply color;
    };

    // The next answer when it is of this kind; otherwise counts the dialog as unanswered.
    std::optional<Answer> next(Kind kind);

    std::deque<Answer> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<ShownRequester> requesters_;
    std::vector<ShownColorRequester> colorRequesters_;
    int unanswered_ = 0;
};

}  // namespace nimbel
