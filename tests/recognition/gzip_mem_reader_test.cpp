// Inflating gzip streams from memory: members, pass-through, header fields and failures, on
// fixtures deflated by zlib here.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gzip_mem_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Deflate(const Bytes& text) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  Bytes out(deflateBound(&z, text.size()) + 16);
  z.next_in = const_cast<Bytef*>(text.data());
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

struct Member {
  Bytes text;
  int method = 8;
  int extraFlags = 0;  // ORed into the flags byte as it is
  Bytes extra;
  bool hasExtra = false;
  std::string name;
  std::string comment;
  bool headerCrc = false;
  std::uint32_t crcXor = 0;
  std::uint32_t lengthXor = 0;
  int trailerBytes = 8;  // how many of the 8 trailer bytes are written
};

void Put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes Gzip(const Member& m) {
  int flags = m.extraFlags;
  if (m.hasExtra) flags |= 0x04;
  if (!m.name.empty()) flags |= 0x08;
  if (!m.comment.empty()) flags |= 0x10;
  if (m.headerCrc) flags |= 0x02;
  Bytes out{0x1F, 0x8B, static_cast<std::uint8_t>(m.method), static_cast<std::uint8_t>(flags), 1, 2, 3, 4, 0, 3};
  if (m.hasExtra) {
    out.push_back(static_cast<std::uint8_t>(m.extra.size()));
    out.push_back(static_cast<std::uint8_t>(m.extra.size() >> 8));
    out.insert(out.end(), m.extra.begin(), m.extra.end());
  }
  for (const std::string* s : {&m.name, &m.comment}) {
    if (s->empty()) continue;
    out.insert(out.end(), s->begin(), s->end());
    out.push_back(0);
  }
  if (m.headerCrc) {
    const std::uint32_t hcrc = static_cast<std::uint32_t>(crc32(0, out.data(), static_cast<uInt>(out.size())));
    out.push_back(static_cast<std::uint8_t>(hcrc));
    out.push_back(static_cast<std::uint8_t>(hcrc >> 8));
  }
  const Bytes body = Deflate(m.text);
  out.insert(out.end(), body.begin(), body.end());
  Bytes trailer;
  Put32(trailer, static_cast<std::uint32_t>(crc32(0, m.text.data(), static_cast<uInt>(m.text.size()))) ^ m.crcXor);
  Put32(trailer, static_cast<std::uint32_t>(m.text.size()) ^ m.lengthXor);
  out.insert(out.end(), trailer.begin(), trailer.begin() + m.trailerBytes);
  return out;
}

Bytes GzipText(const Bytes& text) {
  Member m;
  m.text = text;
  return Gzip(m);
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random());
  return out;
}

Bytes Output(const CGzipMemReader& reader) {
  if (reader.output == nullptr) return {};
  return Bytes(reader.output, reader.output + reader.outputLength);
}

struct Case {
  const char* what;
  Bytes source;
  Bytes output;
  int error;
};

void Check(const Case& c) {
  // The source lives in a block of its own size, so a read outside it shows under the sanitizer.
  auto block = std::make_unique<std::uint8_t[]>(c.source.size());
  std::copy(c.source.begin(), c.source.end(), block.get());
  CGzipMemReader reader(block.get(), static_cast<std::int32_t>(c.source.size()));
  EXPECT_EQ(reader.error, c.error) << c.what;
  EXPECT_EQ(Output(reader), c.output) << c.what;
  ASSERT_NE(reader.output, nullptr) << c.what;
  EXPECT_GE(reader.outputCapacity, reader.outputLength) << c.what;
  reader.output[reader.outputLength] = 0;  // room for a terminating zero
}

TEST(GzipMemReader, MembersPassThroughAndHeaderFields) {
  const Bytes hello = Text("TimeStamp 20261210 serial 1234567890");
  const Bytes world = Text("second member");
  Member all;
  all.text = hello;
  all.hasExtra = true;
  all.extra = Bytes(300, 0x1F);
  all.name = "payload.txt";
  all.comment = "made in the test";
  all.headerCrc = true;
  Member flagOne;
  flagOne.text = world;
  flagOne.extraFlags = 0x01;
  Member noLength;
  noLength.text = hello;
  noLength.trailerBytes = 4;
  Member halfLength;
  halfLength.text = hello;
  halfLength.trailerBytes = 6;
  Member wrongLength;
  wrongLength.text = hello;
  wrongLength.lengthXor = 0x55;
  Member emptyText;

  const Case cases[] = {
      {"empty source", {}, {}, Z_STREAM_END},
      {"plain text", Text("plain"), Text("plain"), Z_OK},
      {"1F then not 8B", {0x1F, 0x00, 0x42}, {0x1F, 0x00, 0x42}, Z_OK},
      {"a lone 1F", {0x1F}, {0x1F}, Z_OK},
      {"one member", GzipText(hello), hello, Z_STREAM_END},
      {"an empty member", Gzip(emptyText), {}, Z_STREAM_END},
      {"every header field", Gzip(all), hello, Z_STREAM_END},
      {"flag 01 is ignored", Gzip(flagOne), world, Z_STREAM_END},
      {"two members", Join({GzipText(hello), GzipText(world)}), Join({hello, world}), Z_STREAM_END},
      {"member then plain bytes", Join({GzipText(hello), Text("tail")}), Join({hello, Text("tail")}), Z_OK},
      {"member then a lone 1F", Join({GzipText(hello), {0x1F}}), Join({hello, {0x1F}}), Z_OK},
      {"member then 1F 00", Join({GzipText(hello), {0x1F, 0x00}}), Join({hello, {0x1F, 0x00}}), Z_OK},
      {"length trailer wrong", Join({Gzip(wrongLength), GzipText(world)}), Join({hello, world}), Z_STREAM_END},
      {"length trailer missing", Gzip(noLength), hello, Z_STREAM_END},
      {"length trailer cut", Gzip(halfLength), hello, Z_STREAM_END},
  };
  for (const Case& c : cases) Check(c);
}

TEST(GzipMemReader, FailuresKeepWhatWasInflatedBefore) {
  const Bytes hello = Text("inflated before the failure");
  Member badCrc;
  badCrc.text = hello;
  badCrc.crcXor = 1;
  Member crcCut;
  crcCut.text = hello;
  crcCut.trailerBytes = 3;
  Member method7;
  method7.text = hello;
  method7.method = 7;
  Member reserved;
  reserved.text = hello;
  reserved.extraFlags = 0x20;
  Member reserved80;
  reserved80.text = hello;
  reserved80.extraFlags = 0x80;
  const Bytes whole = GzipText(hello);
  Member named;
  named.text = hello;
  named.name = "never ends";
  const Bytes namedBytes = Gzip(named);
  Member extra;
  extra.text = hello;
  extra.hasExtra = true;
  extra.extra = Bytes(40, 7);
  const Bytes extraBytes = Gzip(extra);
  Bytes corrupt = whole;
  corrupt[10] = 0xFF;  // block type 3 does not exist

  const Case cases[] = {
      {"bad CRC", Gzip(badCrc), hello, Z_DATA_ERROR},
      {"CRC cut off", Gzip(crcCut), hello, Z_DATA_ERROR},
      {"method 7", Gzip(method7), {}, Z_DATA_ERROR},
      {"flag 20", Gzip(reserved), {}, Z_DATA_ERROR},
      {"flag 80", Gzip(reserved80), {}, Z_DATA_ERROR},
      {"header cut in the fixed part", Bytes(whole.begin(), whole.begin() + 7), {}, Z_DATA_ERROR},
      {"header cut in the name", Bytes(namedBytes.begin(), namedBytes.begin() + 15), {}, Z_DATA_ERROR},
      {"header cut in the extra field", Bytes(extraBytes.begin(), extraBytes.begin() + 30), {}, Z_DATA_ERROR},
      {"corrupt deflate data", corrupt, {}, Z_DATA_ERROR},
      {"second member bad", Join({whole, Gzip(badCrc)}), Join({hello, hello}), Z_DATA_ERROR},
  };
  for (const Case& c : cases) Check(c);

  // Cut inside the deflate data: inflate runs out of input.
  const Bytes big = RandomBytes(20000, 7);
  const Bytes gz = GzipText(big);
  const Bytes cut(gz.begin(), gz.begin() + static_cast<std::ptrdiff_t>(gz.size() / 2));
  CGzipMemReader reader(cut.data(), static_cast<std::int32_t>(cut.size()));
  EXPECT_EQ(reader.error, Z_BUF_ERROR);
  ASSERT_LE(reader.outputLength, static_cast<std::int32_t>(big.size()));
  EXPECT_EQ(Output(reader), Bytes(big.begin(), big.begin() + reader.outputLength));
}

// Sources and outputs beyond one 4096-byte window and chunk, with the signature of a following
// member across a window boundary at every offset near it.
TEST(GzipMemReader, LongSourcesAndOutputsCrossWindows) {
  const Bytes text = Join({Text("record "), RandomBytes(9000, 3)});
  const Bytes repetitive(50000, 'A');
  const Bytes plain = RandomBytes(10000, 4);
  Check({"long plain source", plain, plain, Z_OK});
  Check({"long random member", GzipText(text), text, Z_STREAM_END});
  Check({"long output from a short source", GzipText(repetitive), repetitive, Z_STREAM_END});
  const Bytes second = GzipText(Text("after the boundary"));
  for (int pad = 4080; pad <= 4100; ++pad) {
    // A first member padded by its extra field so that the next one starts at pad + 2: the
    // signature 1F 8B straddles the first window's end at pad 4093.
    Member filler;
    filler.text = Text("x");
    filler.hasExtra = true;
    filler.extra = Bytes(static_cast<std::size_t>(pad - 21), 0x1F);
    const Bytes fillerBytes = Gzip(filler);
    ASSERT_EQ(fillerBytes.size(), static_cast<std::size_t>(pad + 2));
    Check({"signature across the window boundary", Join({fillerBytes, second, Text("!")}),
           Join({Text("x"), Text("after the boundary"), Text("!")}), Z_OK});
    Check({"lone 1F across the window boundary", Join({fillerBytes, {0x1F}}), Join({Text("x"), {0x1F}}), Z_OK});
    Check({"plain bytes across the window boundary", Join({fillerBytes, {0x1F, 0x42}}),
           Join({Text("x"), {0x1F, 0x42}}), Z_OK});
  }
}

TEST(GzipMemReader, OutputGrowsToTheNextMultipleOfTen) {
  struct Growth {
    std::vector<int> appends;  // lengths of the members, each appended in one piece
    int capacity;
  };
  const Growth cases[] = {{{10}, 10}, {{23}, 30}, {{4096}, 4100}, {{30}, 40}, {{5, 5}, 10}, {{0}, 10}};
  for (const Growth& g : cases) {
    Bytes source;
    Bytes expected;
    for (int length : g.appends) {
      const Bytes text(static_cast<std::size_t>(length), 'z');
      const Bytes member = GzipText(text);
      source.insert(source.end(), member.begin(), member.end());
      expected.insert(expected.end(), text.begin(), text.end());
    }
    CGzipMemReader reader(source.data(), static_cast<std::int32_t>(source.size()));
    EXPECT_EQ(reader.outputCapacity, g.capacity) << g.appends.front();
    EXPECT_EQ(Output(reader), expected);
  }
}

TEST(GzipMemReader, NullSourceIsAStreamError) {
  CGzipMemReader reader(nullptr, 12);
  EXPECT_EQ(reader.output, nullptr);
  EXPECT_EQ(reader.outputLength, 0);
  EXPECT_EQ(reader.error, Z_STREAM_ERROR);
}

}  // namespace
