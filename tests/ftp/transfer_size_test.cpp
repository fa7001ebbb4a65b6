#include "ftp/transfer_size.hpp"

#include <gtest/gtest.h>

namespace quill::ftp {
namespace {

TFTPReply reply(int code, StringList text) {
    TFTPReply result;
    result.Code = std::to_string(code);
    result.NumericCode = code;
    result.Text = std::move(text);
    return result;
}

// Only a count the server clearly states may fail a transfer; anything
// unclear leaves the size unknown.
TEST(TransferSize, ReadsOnlyClearlyStatedCounts) {
    struct Case {
        TFTPReply reply;
        std::optional<std::uint64_t> size;
    };
    const Case sizeReplies[] = {
        {reply(213, {"1234"}), 1234},
        {reply(213, {" 0 "}), 0},
        {reply(213, {"12a"}), std::nullopt},
        {reply(213, {"-5"}), std::nullopt},
        {reply(213, {""}), std::nullopt},
        {reply(550, {"1234"}), std::nullopt},
        {reply(213, {"99999999999999999999999"}), std::nullopt},
    };
    for (const auto& c : sizeReplies) EXPECT_EQ(sizeFromSizeReply(c.reply), c.size) << c.reply.Text.front();

    const Case openingReplies[] = {
        {reply(150, {"Opening BINARY mode data connection for a.html (1234 bytes)."}), 1234},
        {reply(150, {"Opening data connection for a (b) (77 Bytes)"}), 77},
        {reply(150, {"Here it comes", "(5 bytes)"}), 5},
        {reply(150, {"File status okay. About to open data connection."}), std::nullopt},
        {reply(150, {"Opening (many bytes)"}), std::nullopt},
        {reply(125, {"( bytes)"}), std::nullopt},
    };
    for (const auto& c : openingReplies) EXPECT_EQ(sizeFromOpeningReply(c.reply), c.size) << c.reply.Text.back();
}

}  // namespace
}  // namespace quill::ftp
