#include "ftp/ftp_reply.hpp"

#include <algorithm>

#include "net/ftp_errors.hpp"
#include "text/cp1252.hpp"
#include "text/integer_parse.hpp"

namespace quill::ftp {

namespace {

bool isBlank(char byte) {
    return static_cast<unsigned char>(byte) <= 0x20;
}

bool isNumber(std::string_view text) {
    return tryParseInteger(text).has_value();
}

std::string fromFifthByte(std::string_view line) {
    return line.size() > 4 ? std::string(line.substr(4)) : std::string();
}

}  // namespace

std::string_view trimLeftBlanks(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;
    return text.substr(start);
}

std::string_view trimBlanks(std::string_view text) {
    text = trimLeftBlanks(text);
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

bool isReplyEndLine(std::string_view line) {
    if (line.size() <= 3) return isNumber(line);
    return isNumber(line.substr(0, 3)) && line[3] == ' ';
}

TFTPReply parseReplyLines(const StringList& lines) {
    TFTPReply reply;
    if (lines.empty()) return reply;
    const std::string& first = lines.front();
    std::string code(trimBlanks(std::string_view(first).substr(0, std::min<std::size_t>(4, first.size()))));
    if (code.size() == 4 && code[3] == '-') code.resize(3);
    reply.Code = code;
    reply.NumericCode = tryParseInteger(code).value_or(0);
    if (!trimBlanks(code).empty() && (reply.NumericCode < 100 || reply.NumericCode > 999))
        throw EInvalidReplyCode(code);

    reply.Text.push_back(fromFifthByte(first));
    const std::string upperCode = toUpper1252(code);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() >= 3 && toUpper1252(std::string_view(line).substr(0, 3)) == upperCode) {
            reply.Text.push_back(fromFifthByte(line));
        } else {
            reply.Text.emplace_back(trimLeftBlanks(line));
            if (!line.empty() && line.front() == ' ') reply.ReplyFormat = rfIndentMidLines;
        }
    }
    return reply;
}

void checkReply(const TFTPReply& reply, const ReplyCodes& allowed) {
    if (allowed.empty() || std::find(allowed.begin(), allowed.end(), reply.NumericCode) != allowed.end()) return;
    std::string message;
    for (const auto& line : reply.Text) message += line + "\r\n";
    throw EReplyError(reply.NumericCode, message);
}

}  // namespace quill::ftp
