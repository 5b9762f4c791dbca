#include "koyomi/aspects.h"
#include "koyomi/positions.h"

#include <gtest/gtest.h>

using namespace koyomi;

TEST(AngularSeparation, MeasuresOnTheSphere)
{
    EXPECT_NEAR(AngularSeparation(5, 100, -5, 100), 10.0f, 1e-4);
    EXPECT_NEAR(AngularSeparation(0, 10, 0, 190), 180.0f, 1e-4);
    EXPECT_NEAR(AngularSeparation(30, 0, -30, 180), 180.0f, 1e-3);
    EXPECT_NEAR(AngularSeparation(0, 350, 0, 20), 30.0f, 1e-4);   // across 0
    EXPECT_NEAR(AngularSeparation(0, 0, 0, 90), 90.0f, 1e-4);
    EXPECT_NEAR(AngularSeparation(12.5f, 200, 12.5f, 200), 0.0f, 0.05f);
    // Latitudes count: the same longitude difference is smaller towards a pole.
    EXPECT_LT(AngularSeparation(60, 0, 60, 90), 60.0f);
}

TEST(AngularSeparation, IsSymmetricAndInRange)
{
    const float pts[][2] = {{0, 0}, {5.1f, 359.9f}, {-4.9f, 0.1f}, {1.2f, 181}, {-88, 45}, {3, 123.4f}};
    for (const auto& p : pts)
        for (const auto& q : pts) {
            const float a = AngularSeparation(p[0], p[1], q[0], q[1]);
            EXPECT_EQ(a, AngularSeparation(q[0], q[1], p[0], p[1]));
            EXPECT_GE(a, 0.0f);
            EXPECT_LE(a, 180.0f);
        }
}

TEST(AspectScore, ConjunctionScores101)
{
    EXPECT_EQ(AspectScore(0, 0, AngularSeparation(0, 42, 0, 42)), 101);
    EXPECT_EQ(AspectScore(2, 5, 0.0f), 101);
}

TEST(AspectScore, OrbOfTheLuminariesIsWider)
{
    EXPECT_EQ(AspectScore(0, 5, 8.4f), 101);   // birth Sun
    EXPECT_EQ(AspectScore(1, 7, 8.4f), 101);   // birth Moon
    EXPECT_EQ(AspectScore(2, 1, 8.4f), 101);   // day Moon
    EXPECT_EQ(AspectScore(2, 5, 8.4f), 0);     // two planets: orb 6
    EXPECT_EQ(AspectScore(0, 5, 8.5f), 0);     // rounds to 9
    EXPECT_EQ(AspectScore(2, 5, 8.5f), 0);
    EXPECT_EQ(AspectScore(2, 4, 6.49f), 101);
    EXPECT_EQ(AspectScore(2, 4, 6.5f), 0);
}

TEST(AspectScore, MercuryAxisUsesThePlanetOrbOnlyAgainstPlanets)
{
    // Sextile: 6 degrees orb with a luminary, 4 otherwise.
    EXPECT_EQ(AspectScore(2, 0, 65.0f), 60);
    EXPECT_EQ(AspectScore(2, 1, 65.0f), 60);
    for (std::int8_t body = 2; body < kBodyCount; ++body) {
        EXPECT_EQ(AspectScore(2, body, 65.0f), 0) << int(body);
        EXPECT_EQ(AspectScore(2, body, 64.0f), 60) << int(body);
    }
}

TEST(AspectScore, WindowsAtTheirEdges)
{
    EXPECT_EQ(AspectScore(2, 3, 174.0f), -100);
    EXPECT_EQ(AspectScore(2, 3, 173.0f), 0);
    EXPECT_EQ(AspectScore(0, 3, 172.0f), -100);
    EXPECT_EQ(AspectScore(2, 3, 33.0f), 0);
    EXPECT_EQ(AspectScore(2, 3, 36.0f), 30);
    EXPECT_EQ(AspectScore(2, 3, 38.0f), 30);
    EXPECT_EQ(AspectScore(2, 3, 39.0f), 0);
    EXPECT_EQ(AspectScore(2, 3, 28.0f), 10);
    EXPECT_EQ(AspectScore(2, 3, 32.0f), 10);
    EXPECT_EQ(AspectScore(2, 3, 120.0f), 100);
    EXPECT_EQ(AspectScore(2, 3, 90.4f), -60);
    EXPECT_EQ(AspectScore(2, 3, 180.0f), -100);
    EXPECT_EQ(AspectScore(2, 3, 100.0f), 0);
}

TEST(AspectTable, WindowsDoNotOverlap)
{
    for (const auto* orb : {&OrbLuminary, &OrbPlanet})
        for (int i = 1; i < kAspectCount; ++i)
            EXPECT_LT(AspectAngle[i - 1] + (*orb)[i - 1], AspectAngle[i] - (*orb)[i]) << i;
}

TEST(SignIndex, ThirtyDegreesASign)
{
    EXPECT_EQ(SignIndex(0.0f), 0);
    EXPECT_EQ(SignIndex(29.99f), 0);
    EXPECT_EQ(SignIndex(30.0f), 1);
    EXPECT_EQ(SignIndex(359.99f), 11);
    for (int s = 0; s < kSignCount; ++s)
        EXPECT_EQ(SignIndex(static_cast<float>(30 * s)), s);
}

TEST(SignIndex, StaysAValidSignOutsideTheCircle)
{
    EXPECT_EQ(SignIndex(360.0f), 0);
    EXPECT_EQ(SignIndex(-0.5f), 11);
    EXPECT_EQ(SignIndex(400.0f), 1);
}

TEST(GuardianPlanet, FollowsTheSigns)
{
    EXPECT_EQ(GuardianPlanet[7], bdPluto);
    EXPECT_EQ(GuardianPlanet[0], bdMars);
    EXPECT_EQ(GuardianPlanet[4], bdSun);
    EXPECT_EQ(GuardianPlanet[3], bdMoon);
    EXPECT_EQ(GuardianPlanet[11], bdNeptune);
}
