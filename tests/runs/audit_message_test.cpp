#include "runs/audit_message.hpp"

#include <gtest/gtest.h>

namespace quill {
namespace {

std::vector<ReadableAddress> hits(std::size_t count, ReadableKind kind) {
    std::vector<ReadableAddress> list;
    for (std::size_t i = 0; i < count; ++i)
        list.push_back({"/w/s" + std::to_string(i) + ".html", static_cast<int>(i) + 1, 3,
                        "a" + std::to_string(i) + "@b.de", kind});
    return list;
}

TEST(AuditMessage, ListsTheFirstTwentyAndCountsTheRest) {
    const std::string hint = "Mit der Einstellung „Alle E-Mail-Adressen schützen“ werden auch diese kodiert.";
    EXPECT_EQ(readableAddressesMessage(hits(1, ReadableKind::Attribute)),
              "Nach dem Kodieren sind noch 1 E-Mail-Adressen lesbar:\r\n/w/s0.html:1: a0@b.de\r\n" + hint);

    std::vector<ReadableAddress> many = hits(22, ReadableKind::Text);
    many[21].kind = ReadableKind::Script;
    const std::string text = readableAddressesMessage(many);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Nach dem Kodieren sind noch 22 E-Mail-Adressen lesbar:");
    EXPECT_NE(text.find("\r\n/w/s19.html:20: a19@b.de\r\n… und 2 weitere\r\n" + hint), std::string::npos) << text;
    EXPECT_EQ(text.find("a20@b.de"), std::string::npos);
}

TEST(AuditMessage, OnlyScriptHitsGetNoPromiseTheOptionCannotKeep) {
    const std::string text = readableAddressesMessage(hits(2, ReadableKind::Script));
    EXPECT_EQ(text.find("Mit der Einstellung"), std::string::npos);
    EXPECT_NE(text.find("<script>"), std::string::npos);
    EXPECT_FALSE(readableAddressesOutcome({}).has_value());
    const auto outcome = readableAddressesOutcome(hits(2, ReadableKind::Script));
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->kind, OutcomeKind::Error);
    EXPECT_EQ(outcome->text, text);
}

}  // namespace
}  // namespace quill
