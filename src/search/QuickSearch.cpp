#include "QuickSearch.h"

#include "FileRecord.h"
#include "RecordList.h"
#include "UpperCaseText.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace {

// Records are upper-cased into a buffer this large, which stays in the processor's
// cache while it is searched, and the buffer is searched in one go: no copy of the
// catalog is kept between searches.
constexpr std::size_t kBufferBytes = 256 * 1024;
// Never part of UTF-8, so no match can run from one record into the next.
constexpr char kBetweenRecords = char(0xFF);
// Below this many records per thread, starting a thread costs more than it saves.
constexpr int kRecordsPerThread = 100'000;
constexpr unsigned kMaxThreads = 4;

class RangeSearch
{
public:
    RangeSearch(const RecordList &records, const UpperCaseFinder &finder)
        : m_records(records)
        , m_finder(finder)
    {
    }

    void run(int first, int last, std::vector<int> &hits)
    {
        int position = first;
        while (position < last) {
            const int bufferFirst = position;
            position = fill(position, last);
            searchBuffer(bufferFirst, hits);
        }
    }

private:
    // Upper-cases records from position on until the buffer is full; returns the
    // position of the first record left out.
    int fill(int position, int last)
    {
        m_starts.clear();
        m_used = 0;
        for (; position < last; ++position) {
            // Nearly every record is ASCII, upper-cased straight from its bytes; the
            // others go through a string of their own.
            const QByteArrayView bytes = m_records.utf8At(position);
            if (!makeRoom(std::size_t(bytes.size()) + 1))
                break;
            char *end = writeUpperAscii(bytes.data(), std::size_t(bytes.size()), m_buffer.get() + m_used);
            if (!end) {
                const QString record = QString::fromUtf8(bytes);
                if (!makeRoom(maxUpperUtf8Size(record.size()) + 1))
                    break;
                end = writeUpperUtf8(record, m_buffer.get() + m_used);
            }
            m_starts.push_back(m_used);
            *end++ = kBetweenRecords;
            m_used = std::size_t(end - m_buffer.get());
        }
        return position;
    }

    // False when the buffer holds records and has no room for the bytes.
    bool makeRoom(std::size_t bytes)
    {
        if (bytes <= m_capacity - m_used)
            return true;
        if (!m_starts.empty())
            return false;
        reserve(bytes); // a record longer than the whole buffer
        return true;
    }

    void searchBuffer(int bufferFirst, std::vector<int> &hits)
    {
        std::size_t from = 0;
        std::size_t record = 0;
        const std::size_t count = m_starts.size();
        while (record < count) {
            const std::size_t hit = m_finder.findIn(m_buffer.get(), m_used, from);
            if (hit == UpperCaseFinder::npos)
                return;
            // The record the match starts in; the search then goes on with the next.
            record = std::size_t(std::upper_bound(m_starts.begin() + std::ptrdiff_t(record), m_starts.end(), hit)
                                 - m_starts.begin()) - 1;
            const int position = bufferFirst + int(record);
            if (!isSentinel(m_records.at(position)))
                hits.push_back(position);
            if (++record < count)
                from = m_starts[record];
        }
    }

    void reserve(std::size_t bytes)
    {
        m_buffer.reset(new char[bytes]);
        m_capacity = bytes;
    }

    const RecordList &m_records;
    const UpperCaseFinder &m_finder;
    std::unique_ptr<char[]> m_buffer {new char[kBufferBytes]};
    std::size_t m_capacity = kBufferBytes;
    std::size_t m_used = 0;
    std::vector<std::size_t> m_starts;
};

} // namespace

std::vector<int> QuickSearchMatches(const RecordList &records, QStringView text)
{
    const UpperCaseFinder finder(text);
    const int size = records.size();
    const unsigned cores = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
    const int threads = std::max(1, std::min(int(cores), size / kRecordsPerThread));
    // Each thread searches its own stretch of the list into its own hits; the
    // records are only read meanwhile.
    std::vector<std::vector<int>> hits(static_cast<std::size_t>(threads));
    const int stretch = (size + threads - 1) / std::max(1, threads);
    auto search = [&](int t) {
        const int first = t * stretch;
        RangeSearch(records, finder).run(first, std::min(size, first + stretch), hits[std::size_t(t)]);
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(search, t);
    search(0);
    for (std::thread &worker : workers)
        worker.join();
    std::vector<int> positions = std::move(hits.front());
    for (std::size_t t = 1; t < hits.size(); ++t)
        positions.insert(positions.end(), hits[t].begin(), hits[t].end());
    return positions;
}
