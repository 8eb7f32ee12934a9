#include "jplread.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "stop.h"
#include "textio.h"

namespace {

constexpr int kUnit = 12;  // channel of the planetary file
constexpr std::int64_t kRecordBytes = 8144;
constexpr int kRecordDoubles = 1018;
constexpr int kBufferDoubles = 1500;          // RECBUF; only the first 1018 are read into
constexpr int kMaxCoefficients = 18;          // CHEBP / CHEBV
constexpr std::size_t kHeaderBytes = 2856;    // read of record 1
constexpr std::size_t kConstantBytes = 3200;  // read of record 2 (400 doubles)
// More data records than any real file has (DE431 has about 230000); keeps
// record numbers and byte offsets far inside their integer types.
constexpr double kMaxRecords = 1.0e7;

// State of the reader from call to call.
struct ReaderState {
  bool first = true;  // first-call flag
  std::FILE* fp = nullptr;
  std::string path;          // full path, for messages
  bool swap = false;         // file byte order differs from this machine's
  std::int32_t records = 0;  // data records that the span covers
  std::array<double, kBufferDoubles> RECBUF{};
  std::int32_t RECNOW = 0;  // record held in RECBUF, 0 for none
  std::int64_t reads = 0;   // data records read
};
ReaderState reader;

// Chebyshev values of INTERP at the last normalised time.
struct ChebyshevState {
  std::array<double, kMaxCoefficients> CHEBP{1.0, 0.0};
  std::array<double, kMaxCoefficients> CHEBV{0.0, 1.0};
  int NP = 2;         // valid CHEBP values
  int NV = 3;         // valid CHEBV values
  double TWOT = 0.0;  // twice the normalised time
};
ChebyshevState cheb;

// ---------------------------------------------------------------- bytes

template <typename T>
T decode(const unsigned char* p, bool swap) {
  std::array<unsigned char, sizeof(T)> b;
  std::memcpy(b.data(), p, sizeof(T));
  if (swap) std::reverse(b.begin(), b.end());
  T v;
  std::memcpy(&v, b.data(), sizeof(T));
  return v;
}

[[noreturn]] void fail_open(int number) {
  if (reader.fp) std::fclose(reader.fp);
  reader.fp = nullptr;
  throw FatalIoError(number, kUnit, reader.path);
}

// ---------------------------------------------------------------- header

// Records 1 and 2 decoded in one byte order.
void decode_header(const unsigned char* h, const unsigned char* c, bool swap, JplTxtRecord& txt,
                   JplHdrRecord& hdr) {
  for (std::size_t k = 0; k < 3; ++k)
    txt.TITLE[k].assign(std::string_view(reinterpret_cast<const char*>(h) + 84 * k, 84));
  for (std::size_t k = 0; k < 400; ++k)
    txt.CONNAM[k].assign(std::string_view(reinterpret_cast<const char*>(h) + 252 + 6 * k, 6));
  for (int k = 1; k <= 3; ++k) hdr.SPAN(k) = decode<double>(h + 2652 + 8 * (k - 1), swap);
  hdr.NCONST = decode<std::int32_t>(h + 2676, swap);
  hdr.AUKM = decode<double>(h + 2680, swap);
  hdr.EMRATIO = decode<double>(h + 2688, swap);
  for (int i = 1; i <= 12; ++i)
    for (int k = 1; k <= 3; ++k)
      hdr.LAYOUT(k, i) = decode<std::int32_t>(h + 2696 + 4 * (3 * (i - 1) + (k - 1)), swap);
  hdr.DENO = decode<std::int32_t>(h + 2840, swap);
  for (int k = 1; k <= 3; ++k)
    hdr.LAYOUT(k, 13) = decode<std::int32_t>(h + 2844 + 4 * (k - 1), swap);
  for (std::size_t k = 0; k < 400; ++k) hdr.CONVAL[k] = decode<double>(c + 8 * k, swap);
}

int components(int item) {
  return item == 12 ? 2 : 3;
}

// True when the header describes a file this reader can serve: a span of a
// whole number of records, a positive AU and mass ratio, and for every item
// on the file 1 to 18 coefficients in blocks that lie inside the record.
// Items 1 to 11 must be on the file; nutations and librations may be absent.
// Later solutions carry more than 400 constants; only 400 are kept.
bool usable_header(const JplHdrRecord& hdr, std::int32_t& records) {
  const double s1 = hdr.SPAN(1), s2 = hdr.SPAN(2), s3 = hdr.SPAN(3);
  if (!std::isfinite(s1) || !std::isfinite(s2) || !std::isfinite(s3)) return false;
  if (!(s3 > 0.0) || !(s2 > s1)) return false;
  const double n = (s2 - s1) / s3;
  if (!(n >= 0.5 && n <= kMaxRecords)) return false;
  const double whole = std::round(n);
  if (std::fabs(n - whole) > 1e-9 * whole) return false;
  if (hdr.NCONST < 0) return false;
  if (!std::isfinite(hdr.AUKM) || !(hdr.AUKM > 0.0)) return false;
  if (!std::isfinite(hdr.EMRATIO) || !(hdr.EMRATIO > 0.0)) return false;
  for (int i = 1; i <= 13; ++i) {
    const std::int64_t start = hdr.LAYOUT(1, i), ncf = hdr.LAYOUT(2, i), na = hdr.LAYOUT(3, i);
    if (ncf == 0 && i >= 12) continue;
    if (ncf < 1 || ncf > kMaxCoefficients || na < 1 || na > kRecordDoubles) return false;
    if (start < 3 || start > kRecordDoubles) return false;
    if (start - 1 + ncf * components(i) * na > kRecordDoubles) return false;
  }
  records = static_cast<std::int32_t>(whole);
  return true;
}

// First call: open the file named by JPLFILE and keep records 1 and 2.
void open_file() {
  const std::string name = trim_name(JPLNAM.JPLFILE.view());
  reader.path = full_path(name);
  if (const int error = open_read_error(name)) fail_open(error);
  reader.fp = std::fopen(name.c_str(), "rb");
  if (!reader.fp) fail_open(ioerr::OPEN_FAILURE);

  std::array<unsigned char, kHeaderBytes> h{};
  std::array<unsigned char, kConstantBytes> c{};
  if (std::fread(h.data(), 1, h.size(), reader.fp) != h.size()) fail_open(ioerr::END_OF_FILE);
  if (std::fseek(reader.fp, kRecordBytes, SEEK_SET) != 0 ||
      std::fread(c.data(), 1, c.size(), reader.fp) != c.size())
    fail_open(ioerr::END_OF_FILE);

  // The byte order is the one in which the header makes sense: little-endian
  // first (the usual form), then big-endian.
  const bool host_big = std::endian::native == std::endian::big;
  for (const bool file_big : {false, true}) {
    JplTxtRecord txt;
    JplHdrRecord hdr;
    const bool swap = file_big != host_big;
    decode_header(h.data(), c.data(), swap, txt, hdr);
    std::int32_t records = 0;
    if (usable_header(hdr, records)) {
      // A file cut short is refused whole rather than failing at some date.
      if (std::fseek(reader.fp, 0, SEEK_END) != 0 ||
          std::ftell(reader.fp) < (records + 2) * kRecordBytes)
        fail_open(ioerr::END_OF_FILE);
      JPLTXT = txt;
      JPLHDR = hdr;
      reader.swap = swap;
      reader.records = records;
      reader.RECNOW = 0;
      reader.first = false;
      return;
    }
  }
  fail_open(ioerr::CONVERSION);
}

// Reads data record NR (3 onward) into RECBUF. False when it cannot be read
// in full (the file has changed since it was opened, or a read error) or its
// first two doubles are not the dates the header gives it (not the file the
// header describes).
bool read_record(std::int32_t NR) {
  const std::int64_t offset = (static_cast<std::int64_t>(NR) - 1) * kRecordBytes;
  if (offset > LONG_MAX) return false;
  std::array<unsigned char, kRecordBytes> b;
  if (std::fseek(reader.fp, static_cast<long>(offset), SEEK_SET) != 0) return false;
  if (std::fread(b.data(), 1, b.size(), reader.fp) != b.size()) return false;
  ++reader.reads;
  for (int k = 0; k < kRecordDoubles; ++k)
    reader.RECBUF[static_cast<std::size_t>(k)] = decode<double>(b.data() + 8 * k, reader.swap);
  const double start = JPLHDR.SPAN(1) + (NR - 3) * JPLHDR.SPAN(3);
  const double tol = 1e-6 * std::max(1.0, JPLHDR.SPAN(3));
  return std::fabs(reader.RECBUF[0] - start) <= tol &&
         std::fabs(reader.RECBUF[1] - (start + JPLHDR.SPAN(3))) <= tol;
}

// The coefficient block of item i in RECBUF.
std::span<const double> block(int i) {
  const auto start = static_cast<std::size_t>(JPLHDR.LAYOUT(1, i) - 1);
  const auto n =
      static_cast<std::size_t>(JPLHDR.LAYOUT(2, i) * components(i) * JPLHDR.LAYOUT(3, i));
  return std::span<const double>(reader.RECBUF).subspan(start, n);
}

void interpolate(int item, const std::array<double, 2>& t, int ifl, std::span<double> out) {
  INTERP(block(item), t, JPLHDR.LAYOUT(2, item), components(item), JPLHDR.LAYOUT(3, item), ifl,
         out);
}

}  // namespace

std::int32_t STATE(const std::array<double, 2>& ET2, const StateRequest& REQ, StateTable& PV,
                   NutationState& NUT) {
  if (reader.first) open_file();
  if (ET2[0] == 0.0) return 0;

  // The date as a day at 0 h plus a fraction in [0, 1), keeping the digits
  // of the time of day.
  std::array<double, 2> a, b;
  SPLIT(ET2[0] - 0.5, a);
  SPLIT(ET2[1], b);
  double day = a[0] + b[0] + 0.5;
  SPLIT(a[1] + b[1], b);
  day += b[0];
  const double frac = b[1];

  const double s1 = JPLHDR.SPAN(1), s2 = JPLHDR.SPAN(2), s3 = JPLHDR.SPAN(3);
  if (!(day + frac >= s1 && day + frac <= s2)) return 1;

  // Data record k (from 0) serves the days s1 + k s3 to s1 + (k+1) s3; the
  // last date of the file belongs to the last record.
  double k = std::trunc((day - s1) / s3);
  if (day == s2) k -= 1.0;
  k = std::clamp(k, 0.0, static_cast<double>(reader.records - 1));
  const auto NR = static_cast<std::int32_t>(k) + 3;
  const double t0 = ((day - (s1 + k * s3)) + frac) / s3;

  if (NR != reader.RECNOW) {
    if (!read_record(NR)) {
      reader.RECNOW = 0;
      write(console().out(), {lay::F(12, 2), lay::F(12, 2), lay::A(80)},
            {ET2[0], ET2[1], "ERROR RETURN IN STATE"});
      throw ProgramStop(StopKind::PlanetaryFile);
    }
    reader.RECNOW = NR;
  }

  const std::array<double, 2> t = {t0, JPLOPT.KMUNIT ? s3 * 86400.0 : s3};
  const double aufac = JPLOPT.KMUNIT ? 1.0 : 1.0 / JPLHDR.AUKM;

  interpolate(11, t, 2, JPLOPT.SUNPV);
  for (double& v : JPLOPT.SUNPV) v *= aufac;

  for (int i = 1; i <= 10; ++i) {
    if (REQ(i) == 0) continue;
    const int ifl = REQ(i) >= 2 ? 2 : 1;
    BodyState& pv = PV(i);
    interpolate(i, t, ifl, pv);
    const auto n = static_cast<std::size_t>(3 * ifl);
    for (std::size_t j = 0; j < n; ++j) {
      pv[j] *= aufac;
      if (!JPLOPT.BARYC && i != 10) pv[j] -= JPLOPT.SUNPV[j];
    }
  }
  if (REQ(11) > 0 && JPLHDR.LAYOUT(2, 12) > 0) interpolate(12, t, REQ(11) >= 2 ? 2 : 1, NUT);
  if (REQ(12) > 0 && JPLHDR.LAYOUT(2, 13) > 0) interpolate(13, t, REQ(12) >= 2 ? 2 : 1, PV(11));
  return 0;
}

void INTERP(std::span<const double> BUF, const std::array<double, 2>& T, std::int32_t NCF,
            std::int32_t NCM, std::int32_t NA, std::int32_t IFL, std::span<double> PV) {
  if (NCF < 1 || NCF > kMaxCoefficients || NCM < 1 || NA < 1 || (IFL != 1 && IFL != 2))
    throw std::invalid_argument("INTERP: layout");
  const auto ncf = static_cast<std::size_t>(NCF), ncm = static_cast<std::size_t>(NCM);
  if (BUF.size() / ncf / ncm < static_cast<std::size_t>(NA) || PV.size() < ncm * IFL)
    throw std::invalid_argument("INTERP: table size");

  // Sub-interval (from 0) and normalised time in it; t = 1 gives the last
  // sub-interval at +1.
  const double dna = NA;
  const double dt1 = std::trunc(T[0]);
  const double temp = dna * T[0];
  double l = std::trunc(temp - dt1);
  if (!(l >= 0.0)) l = 0.0;
  if (l > dna - 1.0) l = dna - 1.0;
  const double tc = 2.0 * (std::fmod(temp, 1.0) + dt1) - 1.0;
  const std::size_t base = static_cast<std::size_t>(l) * ncm * ncf;

  if (tc != cheb.CHEBP[1]) {
    cheb.NP = 2;
    cheb.NV = 3;
    cheb.CHEBP[1] = tc;
    cheb.TWOT = tc + tc;
  }
  auto& pc = cheb.CHEBP;
  if (cheb.NP < NCF) {
    for (std::size_t j = static_cast<std::size_t>(cheb.NP); j < ncf; ++j)
      pc[j] = cheb.TWOT * pc[j - 1] - pc[j - 2];
    cheb.NP = NCF;
  }
  for (std::size_t c = 0; c < ncm; ++c) {
    const double* coef = BUF.data() + base + c * ncf;
    double sum = 0.0;
    for (std::size_t j = ncf; j-- > 0;) sum += pc[j] * coef[j];
    PV[c] = sum;
  }
  if (IFL == 1) return;

  // Rates: the derivative with respect to tc, in one per unit of T[1].
  const double vfac = (dna + dna) / T[1];
  auto& vc = cheb.CHEBV;
  vc[2] = cheb.TWOT + cheb.TWOT;
  if (cheb.NV < NCF) {
    for (std::size_t j = static_cast<std::size_t>(cheb.NV); j < ncf; ++j)
      vc[j] = cheb.TWOT * vc[j - 1] + pc[j - 1] + pc[j - 1] - vc[j - 2];
    cheb.NV = NCF;
  }
  for (std::size_t c = 0; c < ncm; ++c) {
    const double* coef = BUF.data() + base + c * ncf;
    double sum = 0.0;
    for (std::size_t j = ncf; j-- > 1;) sum += vc[j] * coef[j];
    PV[ncm + c] = vfac * sum;
  }
}

void SPLIT(double TT, std::array<double, 2>& FR) {
  FR[0] = std::trunc(TT);
  FR[1] = TT - FR[0];
  if (TT >= 0.0 || FR[1] == 0.0) return;
  FR[0] -= 1.0;
  FR[1] += 1.0;
  // A negative fraction too small to show beside 1 rounds the sum to 1.
  if (FR[1] >= 1.0) {
    FR[0] += 1.0;
    FR[1] = 0.0;
  }
}

void CONST(std::array<Text<6>, 400>& NAM, std::array<double, 400>& VAL, OneBased<double, 3>& SS,
           std::int32_t& N) {
  StateRequest req;
  StateTable pv;
  NutationState nut{};
  STATE({0.0, 0.0}, req, pv, nut);
  N = std::min(JPLHDR.NCONST, std::int32_t{400});
  SS = JPLHDR.SPAN;
  for (std::size_t i = 0; i < static_cast<std::size_t>(N); ++i) {
    NAM[i] = JPLTXT.CONNAM[i];
    VAL[i] = JPLHDR.CONVAL[i];
  }
}

void close_ephemeris_file() {
  if (reader.fp) std::fclose(reader.fp);
  reader.fp = nullptr;
  reader.first = true;
  reader.RECNOW = 0;
}

void reset_ephemeris_reader() {
  close_ephemeris_file();
  reader = ReaderState{};
  cheb = ChebyshevState{};
}

std::int64_t ephemeris_record_reads() {
  return reader.reads;
}
