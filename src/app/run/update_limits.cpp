#include "app/run/update_limits.h"

#include "platform/environment.h"

namespace pelorix::app {

namespace {

// More connections than this to one server would only crowd the line.
constexpr int kMostParallelDownloads = 16;

// Positive whole numbers of the environment; anything else leaves the default.
class NumbersOf {
  public:
    explicit NumbersOf(const platform::Environment& environment) : environment_(environment) {}

    // Decimal, octal ("010") or hexadecimal ("0x10"), blanks around it allowed.
    int seconds(const char* name, int fallback) const {
        bool valid = false;
        const int value = environment_.value(name).toLocal8Bit().toInt(&valid, 0);
        return valid && value > 0 ? value : fallback;
    }

    // Decimal only.
    qint64 number(const char* name, qint64 fallback) const {
        bool valid = false;
        const qint64 value = environment_.value(name).toLongLong(&valid);
        return valid && value > 0 ? value : fallback;
    }

  private:
    const platform::Environment& environment_;
};

}  // namespace

UpdateLimits updateLimitsFromEnvironment(const platform::Environment& environment) {
    const UpdateLimits defaults;
    const NumbersOf numbers(environment);
    UpdateLimits limits;
    limits.stopTimeoutSeconds =
        numbers.seconds("PELORIX_STOP_TIMEOUT_SECONDS", defaults.stopTimeoutSeconds);
    limits.downloadStall = std::chrono::seconds(numbers.seconds(
        "PELORIX_DOWNLOAD_STALL_SECONDS", static_cast<int>(defaults.downloadStall.count())));
    limits.database.statementTimeout = std::chrono::seconds(
        numbers.seconds("PELORIX_DB_STATEMENT_TIMEOUT_SECONDS",
                        static_cast<int>(defaults.database.statementTimeout.count())));
    limits.database.connectTimeout = std::chrono::seconds(
        numbers.seconds("PELORIX_DB_CONNECT_TIMEOUT_SECONDS",
                        static_cast<int>(defaults.database.connectTimeout.count())));
    limits.downloadTotalTime =
        std::chrono::seconds(numbers.seconds("PELORIX_DOWNLOAD_TIME_LIMIT_SECONDS",
                                             static_cast<int>(defaults.downloadTotalTime.count())));
    limits.downloadMaximumBytes =
        numbers.number("PELORIX_DOWNLOAD_SIZE_LIMIT_BYTES", defaults.downloadMaximumBytes);
    const int percent = numbers.seconds("PELORIX_TEST_WAIT_PERCENT", defaults.waitPercent);
    limits.waitPercent = percent <= 100 ? percent : defaults.waitPercent;
    const int parallel = numbers.seconds("PELORIX_PARALLEL_DOWNLOADS", defaults.parallelDownloads);
    limits.parallelDownloads =
        parallel <= kMostParallelDownloads ? parallel : defaults.parallelDownloads;
    limits.releaseKeyPath = environment.value("PELORIX_RELEASE_KEY");
    return limits;
}

}  // namespace pelorix::app
