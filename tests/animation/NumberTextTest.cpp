#include "animation/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

namespace {

// What the stream itself reads, with the file's sentinel for a failure.
double streamRead(const std::string& text) {
    std::istringstream in(text);
    double value = 0;
    if (!(in >> value)) {
        return UNREADABLE_NUMBER;
    }
    return value;
}

std::string streamWrite(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

void expectSameRead(const std::string& text) {
    double expected = streamRead(text);
    double actual = readNumber(text);
    // Bitwise, so -0 and 0 count as different.
    EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << '"' << text << '"';
    EXPECT_EQ(actual, expected) << '"' << text << '"';
}

TEST(NumberText, ReadsLikeStreamExtraction) {
    EXPECT_EQ(readNumber(""), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("abc"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("12.5xyz"), 12.5);
    EXPECT_EQ(readNumber("\r\n\v\f-7"), -7);
    EXPECT_EQ(readNumber("3\r"), 3);
    // An exponent mark without digits makes the whole read fail.
    EXPECT_EQ(readNumber("1e"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("1e+"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("1e5x"), 1e5);
    // Hexadecimal, infinity and NaN are not decimal numbers to a stream.
    EXPECT_EQ(readNumber("0x1A"), 0);
    EXPECT_EQ(readNumber("inf"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("nan"), UNREADABLE_NUMBER);
    // Overflow fails; underflow reads as a tiny or zero value.
    EXPECT_EQ(readNumber("1e999"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("-1e999"), UNREADABLE_NUMBER);
    EXPECT_EQ(readNumber("1e-400"), 0);
    EXPECT_EQ(readNumber("4e-320"), streamRead("4e-320"));
    EXPECT_GT(readNumber("4e-320"), 0);

    for (const char* text : {"+5",
                             "-0",
                             "+.5",
                             ".5",
                             "5.",
                             ".",
                             "-",
                             "+",
                             "--1",
                             "+-1",
                             "1.2.3",
                             "1,5",
                             "00012",
                             "1.e5",
                             ".e5",
                             "e5",
                             "5e+-3",
                             "0e",
                             "1E3",
                             "1e-05",
                             "-1.23457e+08",
                             "2.14748e+09",
                             "1.7976931348623157e308",
                             "1.7976931348623159e308",
                             "000000000000000000000000000001.5"}) {
        expectSameRead(text);
    }
    std::string longNumber = "0." + std::string(900, '3') + "e2";
    expectSameRead(longNumber);
}

TEST(NumberText, RandomTextsReadLikeTheStream) {
    // Mostly number-like characters, so that many texts are close calls.
    const std::string alphabet = "0123456789.eE+-x \r\n\v";
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        int length = static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k) {
            text += alphabet[random() % alphabet.size()];
        }
        expectSameRead(text);
    }
}

TEST(NumberText, WritesLikeADefaultStream) {
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(1), "1");
    EXPECT_EQ(numberText(0.2), "0.2");
    EXPECT_EQ(numberText(33), "33");
    EXPECT_EQ(numberText(12.3456789), "12.3457");
    EXPECT_EQ(numberText(1e-5), "1e-05");
    EXPECT_EQ(numberText(2147483647.0), "2.14748e+09");
    const double specials[] = {-0.0,
                               1e300,
                               -1e-300,
                               123456.5,
                               999999.5,
                               0.0001,
                               0.00001,
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN()};
    for (double value : specials) {
        EXPECT_EQ(numberText(value), streamWrite(value)) << value;
    }
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int i = 0; i < 20000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(numberText(value), streamWrite(value)) << value;
    }
}

TEST(NumberText, WrittenTextReadsBackToSixDigits) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> value(-1000, 1000);
    for (int i = 0; i < 1000; ++i) {
        double v = value(random);
        std::string text = numberText(v);
        EXPECT_EQ(readNumber(text), streamRead(text));
        EXPECT_NEAR(readNumber(text), v, std::abs(v) * 1e-5);
    }
}

} // namespace
