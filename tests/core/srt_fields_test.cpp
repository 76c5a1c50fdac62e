#include "srt_fields.h"
#include "../common/srt_field_helpers.h"
#include "time_map.h"
#include "timing_options.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillo {
namespace {

using test::AppendTimeTag;
using test::ParseTimeLine;

TEST(ParseIndex, ReadsLikeAtol) {
    EXPECT_EQ(ParseIndex("1"), 1);
    EXPECT_EQ(ParseIndex("42"), 42);
    EXPECT_EQ(ParseIndex(" \t\v\f\r\n7"), 7);  // every C white-space byte is skipped
    EXPECT_EQ(ParseIndex("+12"), 12);
    EXPECT_EQ(ParseIndex("-3"), -3);
    EXPECT_EQ(ParseIndex("12abc 99"), 12);  // the rest of the line is ignored
    EXPECT_EQ(ParseIndex("007"), 7);
}

TEST(ParseIndex, LinesWithoutLeadingDigitsAreZero) {
    EXPECT_EQ(ParseIndex(""), 0);
    EXPECT_EQ(ParseIndex("abc"), 0);
    EXPECT_EQ(ParseIndex("+"), 0);
    EXPECT_EQ(ParseIndex("- 5"), 0);
    EXPECT_EQ(ParseIndex("\xEF\xBB\xBF"
                         "1"),
              0);  // a UTF-8 byte-order mark is not white space
    EXPECT_EQ(ParseIndex("\xA0"
                         "1"),
              0);  // nor is a byte of 0x80 and above
}

TEST(ParseIndex, WrapsAroundAt32Bits) {
    EXPECT_EQ(ParseIndex("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseIndex("2147483648"), INT32_MIN);
    EXPECT_EQ(ParseIndex("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseIndex("4294967297"), 1);
    EXPECT_EQ(ParseIndex("99999999999999999999"), static_cast<int32_t>(1661992959u));
}

TimeRange Parsed(const char* line) {
    TimeRange r{};
    EXPECT_TRUE(ParseTimeLine(line, r)) << line;
    return r;
}

bool Parses(const char* line) {
    TimeRange r{};
    return ParseTimeLine(line, r);
}

TEST(ParseTimeLine, ReadsTheEightFields) {
    const TimeRange r = Parsed("01:02:03,456 --> 07:08:09,010");
    EXPECT_EQ(r.beginHours, 1);
    EXPECT_EQ(r.beginMinutes, 2);
    EXPECT_EQ(r.beginSeconds, 3);
    EXPECT_EQ(r.beginMilliseconds, 456);
    EXPECT_EQ(r.endHours, 7);
    EXPECT_EQ(r.endMinutes, 8);
    EXPECT_EQ(r.endSeconds, 9);
    EXPECT_EQ(r.endMilliseconds, 10);
}

TEST(ParseTimeLine, WhiteSpaceAroundTheArrowIsOptional) {
    EXPECT_TRUE(Parses("00:00:01,000-->00:00:02,000"));
    EXPECT_TRUE(Parses("00:00:01,000 \t  -->\t 00:00:02,000"));
    EXPECT_TRUE(Parses("  00: 00: 01, 000 --> 00:00:02,000"));  // %d skips white space itself
    EXPECT_TRUE(Parses("00:00:01,000 --> 00:00:02,000 X1:10 X2:20 Y1:1 Y2:2"));
    EXPECT_TRUE(Parses("+1:-2:3,4 --> 5:6:7,8"));
}

TEST(ParseTimeLine, RejectsWhatScanfWouldNotMatch) {
    EXPECT_FALSE(Parses(""));
    EXPECT_FALSE(Parses("00:00:01.000 --> 00:00:02.000"));   // '.' before the milliseconds
    EXPECT_FALSE(Parses("00 :00:01,000 --> 00:00:02,000"));  // ':' must follow directly
    EXPECT_FALSE(Parses("00:00:01 ,000 --> 00:00:02,000"));
    EXPECT_FALSE(Parses("00:00:01,000 -> 00:00:02,000"));
    EXPECT_FALSE(Parses("00:00:01,000 - -> 00:00:02,000"));
    EXPECT_FALSE(Parses("00:00:01,000 --> 00:00:02"));
    EXPECT_FALSE(Parses("00:00:01,000 --> 00:00:02,"));
    EXPECT_FALSE(Parses("00:00:01,000"));
    EXPECT_FALSE(Parses("1"));
    EXPECT_FALSE(Parses("a0:00:01,000 --> 00:00:02,000"));
}

TEST(ParseTimeLine, FieldsWrapAroundAt32Bits) {
    const TimeRange r = Parsed("4294967296:0:0,4294967295 --> -2147483649:0:0,0");
    EXPECT_EQ(r.beginHours, 0);
    EXPECT_EQ(r.beginMilliseconds, -1);
    EXPECT_EQ(r.endHours, INT32_MAX);
}

std::string Tag(const char* line) {
    std::string out;
    AppendTimeTag(out, Parsed(line));
    return out;
}

TEST(AppendTimeTag, FormatsHoursPlainAndTheRestWithTwoDigits) {
    EXPECT_EQ(Tag("00:01:02,345 --> 00:01:04,007"),
              "<Time Begin=\"0:01:02.34\" End=\"0:01:04.00\" /><clear/> ");
    EXPECT_EQ(Tag("10:00:00,000 --> 123:59:59,999"),
              "<Time Begin=\"10:00:00.00\" End=\"123:59:59.99\" /><clear/> ");
    // No carrying and no range checks: 75 minutes print as 75.
    EXPECT_EQ(Tag("0:75:120,1999 --> 0:0:1,50"),
              "<Time Begin=\"0:75:120.199\" End=\"0:00:01.05\" /><clear/> ");
}

TEST(AppendTimeTag, NegativeFieldsKeepTheirSign) {
    // Centiseconds truncate toward zero; %02d counts the sign in the width.
    EXPECT_EQ(Tag("-1:-5:-10,-15 --> 0:0:0,-5"),
              "<Time Begin=\"-1:-5:-10.-1\" End=\"0:00:00.00\" /><clear/> ");
    EXPECT_EQ(Tag("-2147483648:0:0,-2147483648 --> 0:0:0,0"),
              "<Time Begin=\"-2147483648:00:00.-214748364\" End=\"0:00:00.00\" /><clear/> ");
}

int64_t Moved(const TimeMap& map, int64_t t) {
    int64_t moved = 0;
    EXPECT_TRUE(map.Map(t, moved)) << t;
    return moved;
}

TEST(TimeMap, RoundsOnceToTheNearestHalvesAwayFromZero) {
    EXPECT_EQ(Moved(TimeMap(0, 0, 3, 2, ""), 1), 2);
    EXPECT_EQ(Moved(TimeMap(0, 0, 3, 2, ""), -1), -2);
    // Products past 64 bits, as --sync's and fine rates' are (the 32-bit
    // build computes them by hand).
    EXPECT_EQ(Moved(TimeMap(0, 0, 1000000007, 999999937, ""), 359999999999), 360000025199);
    EXPECT_EQ(Moved(TimeMap(0, 0, 1000000007, 999999937, ""), -359999999999), -360000025199);
    EXPECT_EQ(Moved(TimeMap(1000, -7, (uint64_t{1} << 40) + 1, (uint64_t{1} << 40) - 1, ""),
                    (int64_t{1} << 38) + 123),
              274877906060);
    int64_t unused;
    EXPECT_FALSE(TimeMap(0, 0, 999999999999999999u, 3, "").Map(30, unused));  // past 63 bits
}

TEST(TimingOptions, ReadTheFormsTheHelpShows) {
    const auto shift = [](const char* value) {
        TimingRequest request;
        std::string error;
        return ReadShift(value, request, error) ? request.shift : INT64_MIN;
    };
    EXPECT_EQ(shift("+1.5"), 1500);
    EXPECT_EQ(shift("-0.250"), -250);
    EXPECT_EQ(shift("-00:00:02,500"), -2500);
    EXPECT_EQ(shift("1:02.3"), 62300);
    for (const char* bad :
         {"", "+", "1.2345", "1:60", "1:2:3:4", "1.", "99999:59:60", "100000:00:00"}) {
        EXPECT_EQ(shift(bad), INT64_MIN) << bad;
    }
    TimingRequest request;
    std::string error;
    EXPECT_TRUE(ReadFps("24000/1001:25", request, error));
    EXPECT_EQ(Moved(MapOf(request), 1001000), 960000);  // 24,000 frames: 1001 s, then 960 s
    for (const char* bad : {"0:25", "25:0/1", "25", "24/0:25", "1234567890:1"}) {
        TimingRequest fps;
        EXPECT_FALSE(ReadFps(bad, fps, error)) << bad;
    }
    TimingRequest sync;
    EXPECT_TRUE(ReadSync("1@0:00:12,500,800@1:02:03,000", sync, error));
    EXPECT_EQ(sync.syncPoints, 2);
    EXPECT_EQ(sync.sync[1].entry, 800);
    EXPECT_EQ(sync.sync[0].time, 12500);
    EXPECT_EQ(sync.sync[1].time, 3723000);
    for (const char* bad : {"5@1,5@2", "9@1,5@2", "1@2,5@1", "0@1", "1@", "1@1,", "1,2@3"}) {
        TimingRequest points;
        EXPECT_FALSE(ReadSync(bad, points, error)) << bad;
    }
}

}  // namespace
}  // namespace quillo
