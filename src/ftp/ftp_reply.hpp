#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "text/string_list.hpp"

namespace quill::ftp {

enum TReplyFormat { rfNormal, rfIndentMidLines };

// One server reply.
struct TFTPReply {
    std::string Code;     // normally three digits; may be empty
    int NumericCode = 0;  // 0 when Code is not a number
    StringList Text;      // the lines without their code prefixes
    TReplyFormat ReplyFormat = rfNormal;
};

using ReplyCodes = std::vector<int>;

// Removes every byte up to and including the blank from both ends.
std::string_view trimBlanks(std::string_view text);
std::string_view trimLeftBlanks(std::string_view text);

// True for a line that closes a reply: a number of at most three bytes, or
// three bytes that are a number followed by a blank.
bool isReplyEndLine(std::string_view line);

// Builds the reply from its lines (the first one already trimmed). A code
// neither blank nor 100-999 raises EInvalidReplyCode.
TFTPReply parseReplyLines(const StringList& lines);

// Raises EReplyError (the text lines, each with CR LF) unless allowed is
// empty or holds the reply's numeric code.
void checkReply(const TFTPReply& reply, const ReplyCodes& allowed);

}  // namespace quill::ftp
