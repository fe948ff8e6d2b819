// A reader whose node the user may not open, as before the udev rule is
// installed: the real HidrawHost against umockdev's emulated nodes, and the
// discovery on top of it. As root the node's mode refuses nothing, so the
// opens run with the file-system ids of an unprivileged user (setfsuid is
// per thread and drops the override capabilities while it lasts).
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "reader/reader_connection.h"
#include "tests/platform/mock_hidraw.h"

namespace corvalt {
namespace {

using testing::MockNode;

constexpr uid_t kNobody = 65534;

// For its lifetime this thread's file accesses are checked as user and
// group nobody; does nothing for a user who is not root.
class UnprivilegedFiles {
public:
    UnprivilegedFiles()
    {
        if (::geteuid() != 0)
            return;
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
        m_active = true;
    }
    ~UnprivilegedFiles()
    {
        if (!m_active)
            return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    UnprivilegedFiles(const UnprivilegedFiles&) = delete;
    UnprivilegedFiles& operator=(const UnprivilegedFiles&) = delete;

private:
    bool m_active = false;
};

// Opens under UnprivilegedFiles; everything else as the test's own user.
class UnprivilegedOpenHost final : public HidHost {
public:
    explicit UnprivilegedOpenHost(HidHost& host) : m_host(host) {}
    bool ListInterfaces(std::vector<HidInterfaceInfo>& interfaces) override
    {
        return m_host.ListInterfaces(interfaces);
    }
    std::unique_ptr<HidDevice> Open(const std::string& path, HidAccess access) override
    {
        const UnprivilegedFiles unprivileged;
        return m_host.Open(path, access);
    }
    const HidError& LastError() const override { return m_host.LastError(); }

private:
    HidHost& m_host;
};

class NoWaitClock final : public Clock {
public:
    uint64_t NowMs() const override { return 0; }
    void Sleep(uint32_t) override {}
};

class HidrawAccessTest : public testing::MockHidrawTest {
protected:
    HidrawAccessTest()
    {
        gchar* root = umockdev_testbed_get_root_dir(m_bed);
        m_root = root;
        g_free(root);
        // The testbed's folders are the test user's own: the unprivileged
        // opens must be refused by the node's mode, not on the way to it.
        ::chmod(m_root.c_str(), 0755);
    }

    // The node's mode, as udev leaves it without (0600) or with a rule that
    // grants the user access (the ACL acts like 0666 here).
    void SetMode(MockNode& node, mode_t mode)
    {
        const std::string file = m_root + node.path;
        ASSERT_EQ(::chmod(file.c_str(), mode), 0) << file;
    }

    // True when an unprivileged open really is refused here; not so, for
    // example, where a security module or a missing capability interferes.
    bool RefusalIsPossible(MockNode& node)
    {
        // The preload reaches the node's handler through a socket, which an
        // unprivileged user may not connect to unless it is made writable.
        const std::string socket = m_root + "/ioctl" + node.path;
        EXPECT_EQ(::chmod(socket.c_str(), 0666), 0) << socket;
        SetMode(node, 0600);
        if (::geteuid() != 0)
            SetMode(node, 0000);
        auto device = m_unprivileged.Open(node.path, HidAccess::QueryOnly);
        return device == nullptr && m_unprivileged.LastError().code == EACCES;
    }

    std::string m_root;
    UnprivilegedOpenHost m_unprivileged{m_host};
    NoWaitClock m_clock;
};

TEST_F(HidrawAccessTest, ARefusedOpenNamesTheNodeAndTheReason)
{
    MockNode& node = Add(0);
    if (!RefusalIsPossible(node))
        GTEST_SKIP() << "an unprivileged open of the emulated node is not refused here: "
                     << m_unprivileged.LastError().message;
    for (const auto& [access, how] :
         {std::pair{HidAccess::ReadWrite, "for reading and writing"}, std::pair{HidAccess::QueryOnly, "read-only"}}) {
        EXPECT_EQ(m_unprivileged.Open(node.path, access), nullptr);
        EXPECT_EQ(m_unprivileged.LastError().code, EACCES);
        EXPECT_EQ(m_unprivileged.LastError().message,
                  std::string("opening /dev/hidraw0 ") + how + " failed: Permission denied");
    }
}

TEST_F(HidrawAccessTest, DiscoveryReportsTheRefusedReaderUntilTheRuleGrantsAccess)
{
    MockNode& node = Add(0);
    if (!RefusalIsPossible(node))
        GTEST_SKIP() << "an unprivileged open of the emulated node is not refused here: "
                     << m_unprivileged.LastError().message;
    ReaderConnection reader(m_unprivileged, m_clock);
    ASSERT_TRUE(OpenReader(reader));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(reader.bAccessDenied);
    EXPECT_EQ(reader.DeniedPath, "/dev/hidraw0");

    // The rule is installed and udev re-triggered: the same user may now
    // open the node, and the next pass opens the reader.
    SetMode(node, 0666);
    ASSERT_TRUE(OpenReader(reader));
    EXPECT_TRUE(reader.IsOpen()) << m_host.LastError().message;
    EXPECT_FALSE(reader.bAccessDenied);
    EXPECT_EQ(reader.DeniedPath, "");
}

}  // namespace
}  // namespace corvalt

int main(int argc, char** argv)
{
    return corvalt::testing::RunUnderUmockdev(argc, argv);
}
