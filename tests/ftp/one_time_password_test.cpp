#include "ftp/one_time_password.hpp"

#include <gtest/gtest.h>

namespace quill::ftp {
namespace {

struct Vector {
    OtpHash hash;
    int count;
    const char* seed;
    const char* passPhrase;
    const char* words;
};

TEST(OneTimePassword, MatchesThePublishedTestVectors) {
    const Vector cases[] = {
        {OtpHash::MD4, 0, "TeSt", "This is a test.", "ROME MUG FRED SCAN LIVE LACE"},
        {OtpHash::MD4, 1, "TeSt", "This is a test.", "CARD SAD MINI RYE COL KIN"},
        {OtpHash::MD4, 99, "TeSt", "This is a test.", "NOTE OUT IBIS SINK NAVE MODE"},
        {OtpHash::MD5, 0, "TeSt", "This is a test.", "INCH SEA ANNE LONG AHEM TOUR"},
        {OtpHash::MD5, 1, "TeSt", "This is a test.", "EASE OIL FUM CURE AWRY AVIS"},
        {OtpHash::MD5, 99, "TeSt", "This is a test.", "BAIL TUFT BITS GANG CHEF THY"},
        {OtpHash::SHA1, 0, "TeSt", "This is a test.", "MILT VARY MAST OK SEES WENT"},
        {OtpHash::SHA1, 1, "TeSt", "This is a test.", "CART OTTO HIVE ODE VAT NUT"},
        {OtpHash::SHA1, 99, "TeSt", "This is a test.", "GAFF WAIT SKID GIG SKY EYED"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(oneTimePassword(c.hash, c.count, c.seed, c.passPhrase), c.words)
            << static_cast<int>(c.hash) << " count " << c.count;
    }
}

TEST(OneTimePassword, SixWordsCarryTheChecksumInTheLastBits) {
    EXPECT_EQ(otpSixWords(0), "A A A A A A");
    // All ones: the checksum of 32 pairs of 3 is 96, whose low two bits are 0.
    EXPECT_EQ(otpSixWords(~std::uint64_t{0}), "YOKE YOKE YOKE YOKE YOKE YEAR");
    // The key's lowest bit lies two places above the checksum (here 1): 0b101.
    EXPECT_EQ(otpSixWords(1), "A A A A A ADA");
}

struct ChallengeCase {
    const char* text;
    bool found;
    OtpHash hash;
    int sequence;
    const char* seed;
};

TEST(OneTimePassword, FindsTheChallengeInTheServerText) {
    const ChallengeCase cases[] = {
        {"Response to otp-md5 99 TeSt required.", true, OtpHash::MD5, 99, "TeSt"},
        {"otp-md4 7 ke1234\r\nmore", true, OtpHash::MD4, 7, "ke1234"},
        {"S/Key otp-sha1 499 seed42\nnext", true, OtpHash::SHA1, 499, "seed42"},
        {"otp-sha1 12 abc", true, OtpHash::SHA1, 12, "abc"},
        {"Password required for anna.", false, OtpHash::MD5, 0, ""},
        {"otp-md5-99 TeSt", false, OtpHash::MD5, 0, ""},
        {"OTP-MD5 99 TeSt", false, OtpHash::MD5, 0, ""},
        {"otp-md5 x99 TeSt", false, OtpHash::MD5, 0, ""},
        {"otp-sha2 99 TeSt", false, OtpHash::MD5, 0, ""},
    };
    for (const auto& c : cases) {
        const auto challenge = findOtpChallenge(c.text);
        ASSERT_EQ(challenge.has_value(), c.found) << c.text;
        if (!c.found) continue;
        EXPECT_EQ(challenge->hash, c.hash) << c.text;
        EXPECT_EQ(challenge->sequence, c.sequence) << c.text;
        EXPECT_EQ(challenge->seed, c.seed) << c.text;
    }
}

}  // namespace
}  // namespace quill::ftp
