// CurlEngine's look at a new address for a task whose address expired: the
// bytes before the partial file's resume point, asked of the new address
// and read from the disk, for base's rule to compare (JudgeSameFile).
#include <algorithm>
#include <chrono>
#include <fstream>

#include "engine/curlengine.h"
#include "engine/segmentplan.h"
#include "engine/transferrun.h"
#include "engine/validator.h"

namespace dromo {
namespace {

// The answer to the range request: its head and at most one byte more of
// its body than was asked for, so a whole file sent instead ends the
// request at once.
struct SampleAnswer {
    std::chrono::steady_clock::time_point* lastData = nullptr;  // the idle watch's
    HttpResponse response;
    std::string body;
    std::size_t limit = 0;

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user)
    {
        auto* answer = static_cast<SampleAnswer*>(user);
        *answer->lastData = std::chrono::steady_clock::now();
        answer->response.AddLine(std::string_view(data, size * count));
        return size * count;
    }
    static std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user)
    {
        auto* answer = static_cast<SampleAnswer*>(user);
        *answer->lastData = std::chrono::steady_clock::now();
        const std::size_t room = answer->limit - answer->body.size();
        answer->body.append(data, std::min(room, size * count));
        return answer->body.size() < answer->limit ? size * count : 0;
    }
};

}  // namespace

// Where the bytes compared end: the end of a plain partial file, or for
// one fetched over several connections the end of its longest run on disk,
// which must hold all the bytes compared. The first open range is no
// place for it: another connection may have taken the file's middle while
// nothing came before it.
void CurlEngine::ReadKeptTail(const PartialFile& file, AddressSample& sample)
{
    const std::int64_t size = file.SizeOnDisk();
    if (size <= 0 || !file.Marked()) {
        return;
    }
    sample.resumePoint = size;
    if (const std::string ranges = file.StoredRanges(); !ranges.empty()) {
        const std::optional<SegmentPlan> plan = SegmentPlan::Parse(ranges);
        const auto [from, to] = plan ? plan->LongestPresentRun() : std::pair<std::int64_t, std::int64_t>{0, 0};
        sample.resumePoint = to > from && to - from >= std::min(kSameFileTail, to) ? to : -1;
    }
    sample.keptValidator = file.StoredValidator();
    const std::int64_t length = std::min(kSameFileTail, std::max<std::int64_t>(sample.resumePoint, 0));
    std::ifstream in(file.Path(), std::ios::binary);
    in.seekg(sample.resumePoint - length);
    sample.keptTail.resize(static_cast<std::size_t>(length));
    in.read(sample.keptTail.data(), length);
    sample.keptTail.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
}

AddressSample CurlEngine::SampleAddress(const TransferRequest& request)
{
    m_request = &request;
    AddressSample sample = SampleOf(request);
    m_request = nullptr;
    return sample;
}

AddressSample CurlEngine::SampleOf(const TransferRequest& request)
{
    AddressSample sample;
    PartialFile file(request.saveAs);
    ReadKeptTail(file, sample);
    if (sample.resumePoint <= 0) {
        return sample;
    }
    const std::int64_t length = std::min(kSameFileTail, sample.resumePoint);
    const std::int64_t first = sample.resumePoint - length;
    TransferRun run{Lend(), file, false, -1, first, sample.keptValidator};
    run.secure = request.secure;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    if (!SetUp(run, UrlOf(request), "", "", errorBuffer)) {
        sample.error = "out of memory";
        return sample;
    }
    SampleAnswer answer;
    answer.lastData = &run.lastData;
    answer.limit = static_cast<std::size_t>(length) + 1;
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, SampleAnswer::OnHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, &answer);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, SampleAnswer::OnData);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, &answer);
    const std::string range = std::to_string(first) + "-" + std::to_string(sample.resumePoint - 1);
    curl_easy_setopt(m_easy, CURLOPT_RANGE, range.c_str());
    const CURLcode code = Perform(run);
    m_cookies.TakeFrom(m_easy);  // what the new address set, for the task's transfer
    const HttpResponse& r = answer.response;
    const bool cutShort = code == CURLE_WRITE_ERROR && answer.body.size() == answer.limit;
    if (code != CURLE_OK && !cutShort) {
        sample.error = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
        return sample;
    }
    sample.code = r.code;
    sample.rangeFirst = r.rangeFirst;
    sample.rangeLast = r.rangeLast;
    sample.total = r.code == 206 ? r.rangeTotal : r.contentLength;
    sample.validator = SizeValidator(r, sample.total);
    sample.tail = std::move(answer.body);
    return sample;
}

}  // namespace dromo
