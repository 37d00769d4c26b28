#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "common/CEnvFile.h"
#include "common/ErrorReport.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string Contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[256];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, f)) text.append(buffer, n);
    return text;
}

}  // namespace

TEST(CEnvFile, ErrorGoesToLogWithPrefixAndToErrorText) {
    std::unique_ptr<std::FILE, FileCloser> log(std::tmpfile());
    qivo::CEnvFile env;
    env.SetLogFile(log.get());
    env.Log(qivo::CEnvironment::kError, 0, "File reader initialization failed.");
    EXPECT_EQ(Contents(log.get()), "\nERROR: File reader initialization failed.\n");
    EXPECT_EQ(env.ErrorText(), "ERROR: File reader initialization failed.\n");
    EXPECT_TRUE(env.IsOpened());
}

TEST(CEnvFile, WithoutLogFileErrorsAreStillCollected) {
    qivo::CEnvFile env;
    env.Log(qivo::CEnvironment::kInfo, 0, "lost %d", 1);
    env.Log(qivo::CEnvironment::kError, 0, "kept %d", 2);
    env.Log(qivo::CEnvironment::kError, 0, "kept %d", 3);
    EXPECT_EQ(env.ErrorText(), "ERROR: kept 2\nERROR: kept 3\n");
}

TEST(CEnvFile, InfoIsWrittenVerbatimAndOtherLevelsAreIgnored) {
    std::unique_ptr<std::FILE, FileCloser> log(std::tmpfile());
    qivo::CEnvFile env;
    env.SetLogFile(log.get());
    env.Log(qivo::CEnvironment::kInfo, 0, "Width\t%d\n", 1920);
    env.Log(2, 0, "never");
    EXPECT_EQ(Contents(log.get()), "Width\t1920\n");
    EXPECT_EQ(env.ErrorText(), "");
}

TEST(CEnvFile, LongMessagesAreKeptWhole) {
    qivo::CEnvFile env;
    const std::string longText(5000, 'x');
    env.Log(qivo::CEnvironment::kError, 0, "%s", longText.c_str());
    EXPECT_EQ(env.ErrorText(), "ERROR: " + longText + "\n");
}

TEST(ErrorReport, LineShape) {
    std::unique_ptr<std::FILE, FileCloser> log(std::tmpfile());
    qivo::CEnvFile env;
    env.SetLogFile(log.get());
    qivo::ReportStatus(&env, -3, qivo::kModuleUtils, 42);
    EXPECT_EQ(Contents(log.get()), "\nERROR: undeveloped feature (-3),\tsrc\\qivo_utils (42)\n\n");
    qivo::ReportStatus(nullptr, -3, qivo::kModuleUtils, 42);  // no environment: nothing happens
}
