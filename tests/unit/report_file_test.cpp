#include "report/report_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// A report file lives until the end of the program that opened it, so every run below is a
// child process; the test looks at the folder while the child waits and after it has ended.

namespace {

std::string new_folder() {
    std::string path = ::testing::TempDir() + "report_file_XXXXXX";
    if (mkdtemp(path.data()) == nullptr) return "";
    return path + "/";
}

std::vector<std::string> files_in(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string content_of(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// One-way signal between the test and a child: one byte through a pipe.
class Gate {
   public:
    Gate() {
        if (pipe(ends_) != 0) ends_[0] = ends_[1] = -1;
    }
    void open() const {
        const char byte = 1;
        if (write(ends_[1], &byte, 1) != 1) _exit(3);
    }
    void wait() const {
        char byte = 0;
        if (read(ends_[0], &byte, 1) != 1) _exit(3);
    }

   private:
    int ends_[2];
};

// Runs body in a child process and returns the child's process id.
pid_t start(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(4);  // body ends the program itself
    }
    return child;
}

int wait_for(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

FILE* open_or_stop(const std::string& path) {
    FILE* report = open_report_file(path.c_str());
    if (report == nullptr) _exit(5);
    return report;
}

class Report_File_Status : public ::testing::TestWithParam<int> {};

// The old report stays while the run writes; at the end, with either status, the run's report
// replaces it, buffered lines included, and only the report is left in the folder.
TEST_P(Report_File_Status, ReplacesTheReportWhenTheProgramEnds) {
    const int exit_status = GetParam();
    const std::string folder = new_folder();
    const std::string path = folder + "report.txt";
    write_file(path, "an older report\n");
    Gate written, checked;
    const pid_t child = start([&] {
        FILE* report = open_or_stop(path);
        fputs("first section\n", report);
        fflush(report);
        written.open();
        checked.wait();
        fputs("last section\n", report);
        exit(exit_status);
    });
    written.wait();
    EXPECT_EQ(content_of(path), "an older report\n");
    EXPECT_EQ(files_in(folder).size(), 2u);
    checked.open();
    const int status = wait_for(child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), exit_status);
    EXPECT_EQ(content_of(path), "first section\nlast section\n");
    EXPECT_EQ(files_in(folder), std::vector<std::string>{"report.txt"});
}

INSTANTIATE_TEST_SUITE_P(ReportFile, Report_File_Status, ::testing::Values(0, 1));

// A section appended after the report was closed, by name, lands in the report.
TEST(ReportFile, SectionAppendedAfterClosingIsKept) {
    const std::string folder = new_folder();
    const std::string path = folder + "report.txt";
    const pid_t child = start([&] {
        FILE* report = open_or_stop(path);
        fputs("sections\n", report);
        close_report_or_stop(report, path.c_str());
        FILE* again = fopen(report_file_in_use(path.c_str()), "a+");
        if (again == nullptr) _exit(6);
        fputs("comparison\n", again);
        close_report_or_stop(again, path.c_str());
        exit(0);
    });
    EXPECT_EQ(wait_for(child), 0);
    EXPECT_EQ(content_of(path), "sections\ncomparison\n");
    EXPECT_EQ(files_in(folder), std::vector<std::string>{"report.txt"});
}

class Report_File_Signal : public ::testing::TestWithParam<int> {};

// A stopped run keeps what it had flushed and leaves no temporary file.
TEST_P(Report_File_Signal, StoppedRunKeepsFlushedSections) {
    const int signal_number = GetParam();
    const std::string folder = new_folder();
    const std::string path = folder + "report.txt";
    const pid_t child = start([&] {
        FILE* report = open_or_stop(path);
        fputs("flushed\n", report);
        fflush(report);
        fputs("still buffered\n", report);
        raise(signal_number);
        exit(7);
    });
    const int status = wait_for(child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_EQ(content_of(path), "flushed\n");
    EXPECT_EQ(files_in(folder), std::vector<std::string>{"report.txt"});
}

INSTANTIATE_TEST_SUITE_P(ReportFile, Report_File_Signal, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "Int" : "Term"; });

// Two runs on one report: the second starts and ends while the first is half way. The report
// is then the first run's, whole, not a mixture of both.
TEST(ReportFile, TwoRunsLeaveOneWholeReport) {
    const std::string folder = new_folder();
    const std::string path = folder + "report.txt";
    const std::string first_half(5000, 'a');
    const std::string second_half(5000, 'b');
    Gate half_written, other_done;
    const pid_t first = start([&] {
        FILE* report = open_or_stop(path);
        fputs(first_half.c_str(), report);
        fflush(report);
        half_written.open();
        other_done.wait();
        fputs(second_half.c_str(), report);
        exit(0);
    });
    half_written.wait();
    const pid_t second = start([&] {
        FILE* report = open_or_stop(path);
        fputs("a short report of the second run\n", report);
        exit(0);
    });
    EXPECT_EQ(wait_for(second), 0);
    EXPECT_EQ(content_of(path), "a short report of the second run\n");
    other_done.open();
    EXPECT_EQ(wait_for(first), 0);
    EXPECT_EQ(content_of(path), first_half + second_half);
    EXPECT_EQ(files_in(folder), std::vector<std::string>{"report.txt"});
}

// The report keeps its permissions; a new one gets those a new file gets.
TEST(ReportFile, PermissionsAreThoseOfTheReport) {
    const std::string folder = new_folder();
    const std::string old_report = folder + "old.txt";
    const std::string new_report = folder + "new.txt";
    write_file(old_report, "old\n");
    ASSERT_EQ(chmod(old_report.c_str(), 0640), 0);
    for (const std::string& path : {old_report, new_report}) {
        const pid_t child = start([&] {
            umask(022);
            fputs("report\n", open_or_stop(path));
            exit(0);
        });
        EXPECT_EQ(wait_for(child), 0);
    }
    struct stat status {};
    ASSERT_EQ(stat(old_report.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    ASSERT_EQ(stat(new_report.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
}

// A symbolic link is written through while the run goes on, and stays a link.
TEST(ReportFile, SymbolicLinkIsWrittenDirectly) {
    const std::string folder = new_folder();
    const std::string target = folder + "target.txt";
    const std::string link = folder + "link.txt";
    write_file(target, "old\n");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    Gate written, checked;
    const pid_t child = start([&] {
        FILE* report = open_or_stop(link);
        fputs("report\n", report);
        fflush(report);
        written.open();
        checked.wait();
        exit(0);
    });
    written.wait();
    EXPECT_EQ(content_of(target), "report\n");
    EXPECT_EQ(files_in(folder), (std::vector<std::string>{"link.txt", "target.txt"}));
    checked.open();
    EXPECT_EQ(wait_for(child), 0);
    struct stat status {};
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(content_of(target), "report\n");
}

TEST(ReportFile, MissingFolderIsRefused) {
    const std::string path = new_folder() + "no_such_folder/report.txt";
    errno = 0;
    EXPECT_EQ(open_report_file(path.c_str()), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST(ReportFile, ReportWithoutWritePermissionIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser writes every file";
    const std::string folder = new_folder();
    const std::string path = folder + "report.txt";
    write_file(path, "kept\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    errno = 0;
    EXPECT_EQ(open_report_file(path.c_str()), nullptr);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(content_of(path), "kept\n");
}

}  // namespace
