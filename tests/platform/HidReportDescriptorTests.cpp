#include "platform/HidReportDescriptor.h"
#include "platform/HidapiBackend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace
{
// A keyboard-like descriptor: a boot keyboard (no report id), then with report ids a vendor
// event collection (page 0x0A, 7 data bytes) and a vendor command collection (page 0x0B, only
// feature reports).
const std::vector<uint8_t> kDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,             // Usage Page 1, Usage 6, Collection (Application)
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,             //   modifiers
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, //   8 x 1 bit
    0x81, 0x02,                                     //   Input
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,             //   1 x 8 bits Input (reserved)
    0x95, 0x06, 0x75, 0x08, 0x81, 0x00,             //   6 x 8 bits Input (keys)
    0x95, 0x05, 0x75, 0x01, 0x91, 0x02,             //   LED Output (not counted)
    0xC0,                                           // End Collection
    0x05, 0x0A, 0x09, 0x01, 0xA1, 0x01,             // Usage Page 0x0A, Usage 1, Collection
    0x85, 0x01, 0x75, 0x08, 0x95, 0x07,             //   Report ID 1, 7 x 8 bits
    0xA1, 0x02, 0x81, 0x02, 0xC0,                   //   nested Collection with the Input
    0xC0,                                           // End Collection
    0x06, 0x0B, 0x00, 0x09, 0x01, 0xA1, 0x01,       // Usage Page 0x000B (2 bytes), Usage 1, Collection
    0x85, 0x05, 0x95, 0x02, 0xB1, 0x02,             //   Report ID 5, Feature
    0x85, 0x06, 0x95, 0xB7, 0xB1, 0x02,             //   Report ID 6, Feature
    0xC0,
};
} // namespace

TEST(HidReportDescriptor, TopCollectionsWithTheirInputLengths)
{
    std::vector<HidTopCollection> vecTops = ParseHidTopCollections(kDescriptor.data(), kDescriptor.size());
    ASSERT_EQ(vecTops.size(), 3u);
    EXPECT_EQ(vecTops[0].nUsagePage, 0x0001);
    EXPECT_EQ(vecTops[0].nUsage, 0x0006);
    EXPECT_EQ(vecTops[0].nInputReportLength, 9); // 8 data bytes, plus the id byte once ids are used
    EXPECT_EQ(vecTops[1].nUsagePage, 0x000A);
    EXPECT_EQ(vecTops[1].nInputReportLength, 8); // report id + 7
    EXPECT_EQ(vecTops[2].nUsagePage, 0x000B);
    EXPECT_EQ(vecTops[2].nInputReportLength, 0); // feature reports only
    // The reports of a node shared by several collections are told apart by their ids.
    EXPECT_TRUE(vecTops[1].bReportIds);
    EXPECT_EQ(vecTops[1].vecInputReportIds, (std::vector<uint8_t>{1}));
    EXPECT_TRUE(vecTops[2].vecInputReportIds.empty());
}

TEST(HidReportDescriptor, WithoutReportIdsTheLengthIsTheDataAlone)
{
    const std::vector<uint8_t> vecMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75,
                                           0x08, 0x95, 0x04, 0x81, 0x02, 0xC0};
    std::vector<HidTopCollection> vecTops = ParseHidTopCollections(vecMouse.data(), vecMouse.size());
    ASSERT_EQ(vecTops.size(), 1u);
    EXPECT_EQ(vecTops[0].nInputReportLength, 4);
    EXPECT_FALSE(vecTops[0].bReportIds);
    EXPECT_TRUE(vecTops[0].vecInputReportIds.empty());
}

TEST(HidReportDescriptor, TruncatedOrHostileBytesNeverReadPastTheEnd)
{
    for (size_t n = 0; n <= kDescriptor.size(); ++n)
    {
        std::vector<uint8_t> vecCut(kDescriptor.begin(), kDescriptor.begin() + static_cast<std::ptrdiff_t>(n));
        std::vector<HidTopCollection> vecTops = ParseHidTopCollections(vecCut.data(), vecCut.size());
        EXPECT_LE(vecTops.size(), 3u);
    }
    const std::vector<uint8_t> vecLong = {0xFE, 0xFF, 0x00, 0xC0, 0xC0, 0xA1};
    ParseHidTopCollections(vecLong.data(), vecLong.size());
    const std::vector<uint8_t> vecHuge = {0x75, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xA1, 0x01, 0x81, 0x02, 0xC0};
    std::vector<HidTopCollection> vecTops = ParseHidTopCollections(vecHuge.data(), vecHuge.size());
    ASSERT_EQ(vecTops.size(), 1u);
    EXPECT_EQ(vecTops[0].nInputReportLength, 0xFFFF); // clamped, not wrapped
    // (2^32-1) x (2^32-1) bits, then 5 x 0x66666673 bits: 2^64 + 64 in all, which wrapped would
    // read as an 8-byte report.
    const std::vector<uint8_t> vecWrap = {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xA1, 0x01,
                                          0x81, 0x02, 0x75, 0x05, 0x97, 0x73, 0x66, 0x66, 0x66, 0x81, 0x02, 0xC0};
    vecTops = ParseHidTopCollections(vecWrap.data(), vecWrap.size());
    ASSERT_EQ(vecTops.size(), 1u);
    EXPECT_EQ(vecTops[0].nInputReportLength, 0xFFFF);
    EXPECT_TRUE(ParseHidTopCollections(nullptr, 10).empty());
}

TEST(HidReportDescriptor, AReportIdNoReportCanCarryEndsTheDescriptor)
{
    // Event collection with ids 1 and 2, then a second collection whose id 0x101 would read as 1
    // again if cut to a byte, and a third collection after it.
    const std::vector<uint8_t> vecIds = {0x05, 0x0A, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x02, 0x85,
                                         0x01, 0x81, 0x02, 0x85, 0x02, 0x81, 0x02, 0xC0, 0x05, 0x0B, 0x09,
                                         0x01, 0xA1, 0x01, 0x86, 0x01, 0x01, 0x95, 0x09, 0x81, 0x02, 0xC0,
                                         0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x81, 0x02, 0xC0};
    std::vector<HidTopCollection> vecTops = ParseHidTopCollections(vecIds.data(), vecIds.size());
    ASSERT_EQ(vecTops.size(), 2u);
    EXPECT_EQ(vecTops[0].vecInputReportIds, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(vecTops[0].nInputReportLength, 3);
    EXPECT_EQ(vecTops[1].nUsagePage, 0x000B);
    EXPECT_TRUE(vecTops[1].vecInputReportIds.empty()); // nothing of the bad id is kept
    // An id of 0 is "no id" on the wire: just as malformed.
    std::vector<uint8_t> vecZero = vecIds;
    vecZero[11] = 0x00;
    vecTops = ParseHidTopCollections(vecZero.data(), vecZero.size());
    ASSERT_EQ(vecTops.size(), 1u);
    EXPECT_TRUE(vecTops[0].vecInputReportIds.empty());
}

TEST(HidReportDescriptor, FileLookupPicksTheCollectionByUsageAndOrder)
{
    std::string strPath = ::testing::TempDir() + "corvane_descriptor.bin";
    {
        std::ofstream file(strPath, std::ios::binary);
        file.write(reinterpret_cast<const char*>(kDescriptor.data()), static_cast<std::streamsize>(kDescriptor.size()));
    }
    EXPECT_EQ(InputReportLengthFromFile(strPath, 0x000A, 0x0001, 0), 8);
    EXPECT_EQ(InputReportLengthFromFile(strPath, 0x000A, 0x0001, 1), 0);
    EXPECT_EQ(InputReportLengthFromFile(strPath, 0x000C, 0x0001, 0), 0);
    EXPECT_EQ(InputReportLengthFromFile(strPath + ".missing", 0x000A, 0x0001, 0), 0);
    HidTopCollection top;
    ASSERT_TRUE(TopCollectionFromFile(strPath, 0x000A, 0x0001, 0, top));
    EXPECT_EQ(top.vecInputReportIds, (std::vector<uint8_t>{1}));
    EXPECT_FALSE(TopCollectionFromFile(strPath, 0x000A, 0x0001, 1, top));
    EXPECT_FALSE(DescriptorFileHasNoReportIds(strPath));
    EXPECT_FALSE(DescriptorFileHasNoReportIds(strPath + ".missing"));
    {
        const std::vector<uint8_t> vecMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75,
                                               0x08, 0x95, 0x04, 0x81, 0x02, 0xC0};
        std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(vecMouse.data()), static_cast<std::streamsize>(vecMouse.size()));
    }
    EXPECT_TRUE(DescriptorFileHasNoReportIds(strPath)); // its reads get a 0 id byte put in front
    std::remove(strPath.c_str());
}

TEST(HidapiBackend, EnumeratesAndRefusesPathsThatAreNoDevice)
{
    CHidapiBackend backend;
    ASSERT_TRUE(backend.IsInitialised());
    for (const HidInterfaceInfo& info : backend.Enumerate())
        EXPECT_FALSE(info.strPath.empty());
    EXPECT_EQ(backend.Open(""), nullptr);
    EXPECT_EQ(backend.Open("/nonexistent/hidraw99"), nullptr);
}
