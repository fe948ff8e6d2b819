// Discovery, identity checks and closing of the reader connection, against
// simulated devices and a clock that never waits.
#include "reader/reader_connection.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/descriptors.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_hid_host.h"

namespace corvalt {
namespace {

using testing::FakeClock;
using testing::FakeHidHost;
using testing::VendorDescriptor;

const std::vector<uint8_t> kReaderDescriptor = VendorDescriptor(337, 63);  // input 338, feature 64 bytes

class ReaderConnectionTest : public ::testing::Test {
protected:
    FakeHidHost host;
    FakeClock clock;
    ReaderConnection connection{host, clock};
};

TEST_F(ReaderConnectionTest, NoInterfaceListedMeansNoReaderAndNoWait)
{
    EXPECT_FALSE(IsHidInterfacePresent(connection));
    EXPECT_TRUE(OpenReader(connection));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(ReaderConnectionTest, UnobtainableListLeavesTheConnectionAsItWas)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    ASSERT_TRUE(OpenReader(connection));
    const HidDevice* before = connection.hDevice.get();

    host.failList = true;
    EXPECT_FALSE(IsHidInterfacePresent(connection));
    EXPECT_FALSE(OpenReader(connection));
    EXPECT_EQ(connection.hDevice.get(), before);
}

TEST_F(ReaderConnectionTest, AnyInterfaceCountsAsPresent)
{
    host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, VendorDescriptor(8, 0));
    EXPECT_TRUE(IsHidInterfacePresent(connection));
}

struct IdCase {
    uint16_t vendorId;
    uint16_t productId;
    bool accepted;
};

class ReaderIdentityTest : public ReaderConnectionTest, public ::testing::WithParamInterface<IdCase> {};

TEST_P(ReaderIdentityTest, VendorAndProductAreTestedApart)
{
    const IdCase id = GetParam();
    for (bool idsListed : {true, false}) {
        SCOPED_TRACE(idsListed ? "ids listed" : "ids only known after opening");
        FakeHidHost localHost;
        FakeClock localClock;
        ReaderConnection c(localHost, localClock);
        localHost.AddDevice("/dev/hidraw0", id.vendorId, id.productId, kReaderDescriptor)->idsListed = idsListed;

        OpenReader(c);

        EXPECT_EQ(c.IsOpen(), id.accepted);
        EXPECT_EQ(localHost.OpenHandleCount(), id.accepted ? 1 : 0);
        if (id.accepted) {
            EXPECT_EQ(c.Attributes.VendorID, id.vendorId);
            EXPECT_EQ(c.Attributes.ProductID, id.productId);
            EXPECT_NE(c.pPreparsedData, nullptr);
            EXPECT_EQ(c.Caps.InputReportByteLength, 338);
            EXPECT_EQ(c.Caps.FeatureReportByteLength, 64);
        } else {
            EXPECT_EQ(c.pPreparsedData, nullptr);
        }
        // A listed non-reader is neither waited for nor opened.
        const bool examined = id.accepted || !idsListed;
        EXPECT_EQ(localClock.Sleeps(), examined ? std::vector<uint32_t>{1000} : std::vector<uint32_t>{});
        EXPECT_EQ(localHost.CountInLog("open "), examined ? 1u : 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Ids, ReaderIdentityTest,
                         ::testing::Values(IdCase{0x0801, 0x3003, true}, IdCase{0x1136, 0x0002, true},
                                           IdCase{0x1136, 0x0009, true}, IdCase{0x0801, 0x0001, true},
                                           IdCase{0x1136, 0x0003, true}, IdCase{0x0801, 0x3001, true},
                                           IdCase{0x0801, 0x0004, false}, IdCase{0x1234, 0x0002, false},
                                           IdCase{0x1136, 0x3002, false}, IdCase{0x0000, 0x0000, false}));

TEST_F(ReaderConnectionTest, FirstOfTwoReadersWinsAndTheOtherIsNeverExamined)
{
    host.AddDevice("/dev/hidraw0", 0x1136, 0x0003, kReaderDescriptor);
    host.AddDevice("/dev/hidraw1", 0x0801, 0x0002, kReaderDescriptor);

    OpenReader(connection);

    ASSERT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.Attributes.ProductID, 0x0003);
    EXPECT_EQ(host.CountInLog("open /dev/hidraw1"), 0u);
    EXPECT_EQ(clock.Sleeps().size(), 1u);
}

TEST_F(ReaderConnectionTest, SettleWaitIsMadeOnlyBeforeOpeningAcceptedCandidates)
{
    host.AddDevice("/dev/hidraw0", 0x046D, 0xC31C, VendorDescriptor(8, 0));  // a keyboard
    host.AddDevice("/dev/hidraw1", 0x046D, 0xC077, VendorDescriptor(4, 0));  // a mouse
    host.AddDevice("/dev/hidraw2", 0x0801, 0x0002, kReaderDescriptor)->failAttributes = true;
    host.AddDevice("/dev/hidraw3", 0x1136, 0x0004, kReaderDescriptor);  // unknown model
    host.AddDevice("/dev/hidraw4", 0x0801, 0x0009, kReaderDescriptor);

    OpenReader(connection);

    ASSERT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.Attributes.ProductID, 0x0009);
    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{1000, 1000}));
    EXPECT_EQ(host.CountInLog("open "), 2u);
    EXPECT_EQ(host.OpenHandleCount(), 1);
}

TEST_F(ReaderConnectionTest, ReaderRefusingReadWriteIsKeptWhenQueryOnlyOpens)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor)->readWriteOpenError = EACCES;

    OpenReader(connection);

    EXPECT_TRUE(connection.IsOpen());
    EXPECT_FALSE(connection.bAccessDenied);
    EXPECT_EQ(host.log, (std::vector<std::string>{"list", "open-failed /dev/hidraw0 rw", "open /dev/hidraw0 query",
                                                  "attributes", "descriptor"}));
}

struct DeniedCase {
    const char* name;
    uint16_t productId;
    int readWriteError;
    int queryError;
    bool expectDenied;
};

class AccessDeniedTest : public ReaderConnectionTest, public ::testing::WithParamInterface<DeniedCase> {};

TEST_P(AccessDeniedTest, OnlyARefusedReaderIsReported)
{
    const DeniedCase& param = GetParam();
    auto device = host.AddDevice("/dev/hidraw5", 0x0801, param.productId, kReaderDescriptor);
    device->readWriteOpenError = param.readWriteError;
    device->queryOpenError = param.queryError;

    OpenReader(connection);

    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.bAccessDenied, param.expectDenied);
    EXPECT_EQ(connection.DeniedPath, param.expectDenied ? "/dev/hidraw5" : "");
}

INSTANTIATE_TEST_SUITE_P(Opens, AccessDeniedTest,
                         ::testing::Values(DeniedCase{"BothDenied", 0x0002, EACCES, EACCES, true},
                                           DeniedCase{"NotPermitted", 0x0002, EPERM, EPERM, true},
                                           DeniedCase{"QueryGone", 0x0002, EACCES, ENOENT, true},
                                           DeniedCase{"Gone", 0x0002, ENOENT, ENOENT, false},
                                           DeniedCase{"Busy", 0x0002, EBUSY, EBUSY, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderConnectionTest, AccessDeniedIsForgottenOnceTheReaderOpens)
{
    auto device = host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    device->readWriteOpenError = device->queryOpenError = EACCES;
    OpenReader(connection);
    ASSERT_TRUE(connection.bAccessDenied);

    device->readWriteOpenError = device->queryOpenError = 0;  // the udev rule was installed
    OpenReader(connection);

    EXPECT_TRUE(connection.IsOpen());
    EXPECT_FALSE(connection.bAccessDenied);
    EXPECT_TRUE(connection.DeniedPath.empty());
}

TEST_F(ReaderConnectionTest, AReaderThatKeepsFailingSettlesOnceNotOnEveryPass)
{
    auto device = host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    device->readWriteOpenError = device->queryOpenError = EACCES;

    for (int pass = 0; pass < 3; ++pass)
        OpenReader(connection);

    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{1000});
    EXPECT_EQ(host.CountInLog("open-failed /dev/hidraw0 rw"), 3u);  // still tried on every pass
    EXPECT_TRUE(connection.bAccessDenied);
}

TEST_F(ReaderConnectionTest, AReaderThatLeavesAndComesBackSettlesAgain)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor)->failAttributes = true;
    OpenReader(connection);
    host.Unplug("/dev/hidraw0");
    OpenReader(connection);
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);

    OpenReader(connection);

    EXPECT_TRUE(connection.IsOpen());
    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{1000, 1000}));

    // The opened reader gone while only the presence check saw the list.
    host.Unplug("/dev/hidraw0");
    EXPECT_FALSE(IsHidInterfacePresent(connection));
    EXPECT_FALSE(connection.IsOpen());
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{1000, 1000, 1000}));
}

TEST_F(ReaderConnectionTest, AModeSwitchLetsEveryReaderSettleAgain)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    InitReaderConnection(connection);

    OpenReader(connection);

    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{1000, 1000}));
}

TEST_F(ReaderConnectionTest, OpenWhileOpenMakesNoOpenAndNoWait)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    const HidDevice* before = connection.hDevice.get();
    host.log.clear();
    clock.ClearSleeps();

    EXPECT_TRUE(OpenReader(connection));

    EXPECT_EQ(connection.hDevice.get(), before);
    EXPECT_EQ(host.log, std::vector<std::string>{"list"});
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(ReaderConnectionTest, OpenWhileOpenClosesTheReaderWhenTheListIsEmpty)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    host.Unplug("/dev/hidraw0");

    OpenReader(connection);

    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.pPreparsedData, nullptr);
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

struct FailingCheckCase {
    const char* name;
    void (*breakDevice)(testing::SimulatedDevice&);
    const char* unsupported;  // why a reader with these ids cannot be driven; empty: it may just have failed
};

class FailingCheckTest : public ReaderConnectionTest, public ::testing::WithParamInterface<FailingCheckCase> {};

TEST_P(FailingCheckTest, CandidateIsClosedAndTheNextOneTaken)
{
    GetParam().breakDevice(*host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor));
    host.AddDevice("/dev/hidraw1", 0x1136, 0x3001, kReaderDescriptor);

    OpenReader(connection);

    ASSERT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.Attributes.ProductID, 0x3001);
    EXPECT_EQ(host.CountInLog("close /dev/hidraw0"), host.CountInLog("open /dev/hidraw0"));
    EXPECT_EQ(host.OpenHandleCount(), 1);
    EXPECT_EQ(connection.UnsupportedReason, GetParam().unsupported);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, FailingCheckTest,
    ::testing::Values(
        FailingCheckCase{"BothOpensFail", [](auto& d) { d.readWriteOpenError = d.queryOpenError = EIO; }, ""},
        FailingCheckCase{"Attributes", [](auto& d) { d.failAttributes = true; }, ""},
        FailingCheckCase{"DescriptorUnreadable", [](auto& d) { d.failDescriptor = true; }, ""},
        FailingCheckCase{"DescriptorMalformed",
                         [](auto& d) {
                             d.descriptor = {0x06, 0x00};
                         },
                         "report descriptor item 1: cut short"},
        FailingCheckCase{"InputTooLongForBuffer", [](auto& d) { d.descriptor = VendorDescriptor(512, 63); },
                         "input report of 513 bytes, at most 512"},
        FailingCheckCase{"FeatureTooLongForBuffer", [](auto& d) { d.descriptor = VendorDescriptor(337, 64); },
                         "feature report of 65 bytes, at most 64"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderConnectionTest, ReportsFillingTheBuffersExactlyAreAccepted)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, VendorDescriptor(511, 63));

    OpenReader(connection);

    ASSERT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.Caps.InputReportByteLength, kInputReportCapacity);
    EXPECT_EQ(connection.Caps.FeatureReportByteLength, kFeatureReportCapacity);
}

TEST_F(ReaderConnectionTest, CloseClosesTheReaderAndIsHarmlessTwice)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    host.log.clear();

    CloseReader(connection);
    CloseReader(connection);

    EXPECT_EQ(host.log, (std::vector<std::string>{"close /dev/hidraw0"}));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.pPreparsedData, nullptr);
}

TEST_F(ReaderConnectionTest, InitResetsTheRecordForAMode)
{
    host.AddDevice("/dev/hidraw0", 0x0801, 0x0002, kReaderDescriptor);
    OpenReader(connection);
    connection.LastErrorText = "HidP_GetUsageValue Failed on Tk1Len";

    InitReaderConnection(connection);

    EXPECT_TRUE(connection.LastErrorText.empty());
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.pPreparsedData, nullptr);
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

TEST_F(ReaderConnectionTest, FeatureReportMustHoldMoreThanItsIdByte)
{
    for (uint16_t length : {0, 1, 2, 64}) {
        SCOPED_TRACE(length);
        connection.Caps.FeatureReportByteLength = length;
        EXPECT_EQ(VerifyFeatureReport(connection), length > 1);
    }
}

}  // namespace
}  // namespace corvalt
