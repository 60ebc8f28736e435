#include "gas/ReferenceConditions.h"

#include <gtest/gtest.h>

TEST(ReferenceConditions, RowsSetTheUnitEditors)
{
    struct Case { int row; bool applies; bool sets; double temperatureC; double pressureBarA; const char* name; bool show; };
    const Case cases[] = {
        {0, false, false, 0, 0, "", false},
        {1, true, false, 0, 0, "g/min", false},
        {3, true, true, 20, 1.01325, "ml/min", true},
        {7, true, true, 15, 0.9999, "ml/min", true},
        {13, true, true, 15.56, 1.0133, "ml/min", true},
        {21, true, true, 22, 1.01325, "ml/min", true}, // the °F column (71.6) is not read
        {22, false, false, 0, 0, "", false},
    };
    for (const Case& c : cases) {
        const TReferenceChoice choice = ChooseReferenceRow(c.row);
        EXPECT_EQ(choice.Applies, c.applies) << c.row;
        EXPECT_EQ(choice.SetsConditions, c.sets) << c.row;
        EXPECT_EQ(choice.TemperatureC, c.temperatureC) << c.row;
        EXPECT_EQ(choice.PressureBarA, c.pressureBarA) << c.row;
        EXPECT_EQ(choice.UnitName, QString::fromLatin1(c.name)) << c.row;
        EXPECT_EQ(choice.ShowConditions, c.show) << c.row;
    }
    EXPECT_EQ(ReferenceConditionRows().size(), 22);
    EXPECT_EQ(ReferenceConditionRows().at(3), QStringLiteral("20     68    1.01325  EPA, NIST"));
}

TEST(ReferenceConditions, ReadOuts)
{
    EXPECT_EQ(FahrenheitReadout(20), QStringLiteral("68ºF"));
    EXPECT_EQ(FahrenheitReadout(22), QStringLiteral("71.6ºF"));
    EXPECT_EQ(PsiReadout(1.01325), QStringLiteral("14.696 psi"));
    EXPECT_EQ(PsiReadout(1), QStringLiteral("14.504 psi"));
}
