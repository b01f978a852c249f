#include "dialog_script.h"

namespace nimbel {

std::optional<QueuedDialogScript::Answer> QueuedDialogScript::next(Kind kind)
{
    if (answers_.empty() || answers_.front().kind != kind) {
        ++unanswered_;
        return std::nullopt;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

MessageReply QueuedDialogScript::answerMessage(const ShownMessage& shown)
{
    messages_.push_back(shown);
    const auto answer = next(Kind::message);
    return answer ? answer->message : MessageReply::escapeKey;
}

RequesterReply QueuedDialogScript::answerRequester(const ShownRequester& shown)
{
    requesters_.push_back(shown);
    const auto answer = next(Kind::requester);
    return answer ? answer->fileName : std::nullopt;
}

ColorReply QueuedDialogScript::answerColor(const ShownColorRequester& shown)
{
    colorRequesters_.push_back(shown);
    const auto answer = next(Kind::color);
    return answer ? answer->color : std::nullopt;
}

}  // namespace nimbel
