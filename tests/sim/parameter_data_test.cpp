// The parameter data file: the shipped one loads, damaged ones are refused line by line.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/korvan-sim/decimal.h"
#include "tools/korvan-sim/parameter_loader.h"
#include "tools/korvan-sim/simulator.h"

namespace korvansim {
namespace {

const char* const kHeader = "pnu,name,type,conversion,unit,min,max,default,access,array,text_width,evidence,note\n";

Result<ParameterTable> Parse(const std::string& rows) {
    std::istringstream input(std::string("# comment\n") + kHeader + rows);
    return ParseParameterTable(input, "test.csv");
}

TEST(ParameterData, ShippedFileLoadsWithTheDrivesValues) {
    const Result<ParameterTable> table = LoadParameterTable(DefaultParameterFile());
    ASSERT_TRUE(table) << table.Error();
    const ParameterDef* high = table->Find(202);
    ASSERT_NE(high, nullptr);
    EXPECT_EQ(high->defaultValue, 500);
    EXPECT_EQ(high->conversion, -1);
    EXPECT_EQ(table->Find(207)->defaultValue, 300);
    EXPECT_EQ(table->Find(520)->type, DataType::Uint32);
    EXPECT_EQ(table->Find(615)->arraySize, 10);
    EXPECT_EQ(table->Find(600)->defaultValue, 12345);  // conversion 74: 1234.5 h
    EXPECT_EQ(table->Find(534)->defaultText, (std::vector<std::uint8_t>{0xB1, 0xE4, 0xC6, 0xB5, 0xC6, 0xF7, 0xD2, 0xBB, 0xBA, 0xC5}));
    EXPECT_EQ(table->Find(520)->chineseName, "电机电流");
    for (const auto& [pnu, def] : table->All()) {
        EXPECT_FALSE(def.evidence.empty()) << pnu;
        EXPECT_FALSE(def.chineseName.empty()) << pnu;
    }
}

TEST(ParameterData, DecimalsConvertExactlyOrNotAtAll) {
    EXPECT_EQ(ParseScaledDecimal("50.0", -1), 500);
    EXPECT_EQ(ParseScaledDecimal("-2.5", -1), -25);
    EXPECT_EQ(ParseScaledDecimal("3", -2), 300);
    EXPECT_EQ(ParseScaledDecimal("1200", 2), 12);
    EXPECT_EQ(ParseScaledDecimal("0.5", 74), 5);
    EXPECT_FALSE(ParseScaledDecimal("50.05", -1));
    EXPECT_FALSE(ParseScaledDecimal("150", 2));
    for (const char* bad : {"", "-", "1e3", "0x10", "1.2.3", " 5", "12345678901234"}) {
        EXPECT_FALSE(ParseScaledDecimal(bad, 0)) << bad;
    }
}

TEST(ParameterData, DamagedLinesAreRefusedWithTheirLineNumber) {
    const struct {
        const char* row;
        const char* message;
        const char* where = "test.csv:3:";
    } cases[] = {
        {"202,High,uint16,-1,Hz,0,1000,50\n", "expected 13 fields"},
        {"202,High,float,-1,Hz,0,1000,50,rw,0,0,C,\n", "unknown data type"},
        {"202,High,uint16,7,Hz,0,1000,50,rw,0,0,C,\n", "conversion index"},
        {"202,High,uint16,-1,Hz,0,1000,5000,rw,0,0,C,\n", "outside"},
        {"202,High,uint16,-1,Hz,0,1000,50.05,rw,0,0,C,\n", "represent exactly"},
        {"202,High,uint8,-1,Hz,0,1000,50,rw,0,0,C,\n", "do not fit"},
        {"202,High,uint16,-1,Hz,0,1000,50,write,0,0,C,\n", "access"},
        {"202,High,uint16,-1,Hz,0,1000,50,rw,0,0,maybe,\n", "evidence"},
        {"3000,High,uint16,-1,Hz,0,1000,50,rw,0,0,C,\n", "0..2047"},
        {"621,Unit,text,0,,0,4,\"TOO LONG\",ro,0,18,C,\n", "bytes"},
        {"621,Unit,text,0,,0,4,\"open,ro,0,18,C,\n", "quotes"},
        {"1,Language,uint8,0,,0,5,0,rw,0,0,C,\n1,Again,uint8,0,,0,5,0,rw,0,0,C,\n", "appears twice", "test.csv:4:"},
    };
    for (const auto& c : cases) {
        const Result<ParameterTable> table = Parse(c.row);
        ASSERT_FALSE(table) << c.row;
        EXPECT_NE(table.Error().find(c.where), std::string::npos) << table.Error();
        EXPECT_NE(table.Error().find(c.message), std::string::npos) << table.Error();
    }
}

TEST(ParameterData, RefusesAFileWithoutHeaderOrRows) {
    std::istringstream noHeader("1,Language,uint8,0,,0,5,0,rw,0,0,C,\n");
    EXPECT_FALSE(ParseParameterTable(noHeader, "x.csv"));
    EXPECT_NE(Parse("").Error().find("no parameters"), std::string::npos);
    EXPECT_NE(LoadParameterTable("/nonexistent/p.csv").Error().find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace korvansim
