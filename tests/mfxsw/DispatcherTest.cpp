// Debian's dispatcher finds the runtime loaded from our folder, and only for software requests.
#include "SdkSession.h"

#include <gtest/gtest.h>

namespace mfxsw_test {
namespace {

struct ImplCase {
    mfxIMPL requested;
    bool reachesRuntime;
};

class DispatcherTest : public ::testing::TestWithParam<ImplCase> {};

TEST_P(DispatcherTest, SoftwareRequestsReachTheRuntimeAndHardwareRequestsFail) {
    SdkSession session(GetParam().requested);
    if (!GetParam().reachesRuntime) {
        EXPECT_LT(session.InitStatus(), MFX_ERR_NONE);
        return;
    }
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxIMPL impl = 0;
    ASSERT_EQ(MFXQueryIMPL(session, &impl), MFX_ERR_NONE);
    EXPECT_EQ(impl, MFX_IMPL_SOFTWARE);
    mfxVersion version{};
    ASSERT_EQ(MFXQueryVersion(session, &version), MFX_ERR_NONE);
    EXPECT_EQ(version.Major, 1);
    EXPECT_EQ(version.Minor, 35);
}

INSTANTIATE_TEST_SUITE_P(Implementations, DispatcherTest,
                         ::testing::Values(ImplCase{MFX_IMPL_AUTO_ANY, true},
                                           ImplCase{MFX_IMPL_SOFTWARE, true},
                                           ImplCase{MFX_IMPL_HARDWARE_ANY, false},
                                           ImplCase{MFX_IMPL_HARDWARE, false}));

TEST(DispatcherApiTest, ComponentsOtherThanDecodeAreUnsupported) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxVideoParam par{};
    par.mfx.CodecId = MFX_CODEC_AVC;
    EXPECT_EQ(MFXVideoENCODE_Init(session, &par), MFX_ERR_UNSUPPORTED);
    EXPECT_EQ(MFXVideoVPP_Init(session, &par), MFX_ERR_UNSUPPORTED);
}

TEST(DispatcherApiTest, HandlesAreKeptOncePerType) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    int display = 0;
    mfxHDL got = nullptr;
    EXPECT_EQ(MFXVideoCORE_GetHandle(session, MFX_HANDLE_VA_DISPLAY, &got), MFX_ERR_NOT_FOUND);
    EXPECT_EQ(MFXVideoCORE_SetHandle(session, MFX_HANDLE_VA_DISPLAY, &display), MFX_ERR_NONE);
    EXPECT_EQ(MFXVideoCORE_SetHandle(session, MFX_HANDLE_VA_DISPLAY, &display),
              MFX_ERR_UNDEFINED_BEHAVIOR);
    ASSERT_EQ(MFXVideoCORE_GetHandle(session, MFX_HANDLE_VA_DISPLAY, &got), MFX_ERR_NONE);
    EXPECT_EQ(got, &display);
}

TEST(DispatcherApiTest, SessionsJoinAndDisjoin) {
    SdkSession parent, child;
    ASSERT_EQ(parent.InitStatus(), MFX_ERR_NONE);
    ASSERT_EQ(child.InitStatus(), MFX_ERR_NONE);
    EXPECT_EQ(MFXJoinSession(parent, child), MFX_ERR_NONE);
    EXPECT_EQ(MFXDisjoinSession(child), MFX_ERR_NONE);
    EXPECT_EQ(MFXDisjoinSession(child), MFX_ERR_UNDEFINED_BEHAVIOR);
}

TEST(DispatcherApiTest, SyncOperationKnowsOnlyItsOwnSyncPoints) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    EXPECT_EQ(MFXVideoCORE_SyncOperation(session, nullptr, 1000), MFX_ERR_NULL_PTR);
    int unknown = 0;
    EXPECT_EQ(MFXVideoCORE_SyncOperation(session, reinterpret_cast<mfxSyncPoint>(&unknown), 1000),
              MFX_ERR_NOT_FOUND);
}

}  // namespace
}  // namespace mfxsw_test
