#include "link/codec/message_stack.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "link/codec/link_errors.h"

using namespace mero;

namespace {

using Messages = std::vector<std::string>;

// Feeds the bytes and collects the messages handed out.
Messages Feed(link::TLinkMessageStack& stack, std::string_view bytes) {
  Messages out;
  stack.Feed(bytes, [&](std::string_view m) { out.emplace_back(m); });
  return out;
}

Messages Concat(Messages a, const Messages& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Three messages of different sizes, one of them empty, with awkward bytes.
const Messages kMessages = {std::string("\x04\x00\xFF hello", 9), std::string(), std::string(300, 'x')};

std::string Stream(const Messages& messages = kMessages) {
  std::string s;
  for (const auto& m : messages) link::AppendFrame(s, m);
  return s;
}

TEST(MessageStack, FrameIsLengthThenPayload) {
  EXPECT_EQ(link::EncodeFrame("abc"), std::string("\x03\x00\x00\x00"
                                                  "abc",
                                                  7));
  EXPECT_EQ(link::EncodeFrame(""), std::string(4, '\0'));
}

TEST(MessageStack, EverySplitOfTheStreamGivesTheSameMessagesOnce) {
  const std::string stream = Stream() + Stream();
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    link::TLinkMessageStack stack;
    Messages got = Feed(stack, std::string_view(stream).substr(0, cut));
    got = Concat(got, Feed(stack, std::string_view(stream).substr(cut)));
    ASSERT_EQ(got, Concat(kMessages, kMessages)) << "split at " << cut;
    EXPECT_EQ(stack.Buffered(), 0u);
  }
}

TEST(MessageStack, ByteByByteAndThreeWaySplits) {
  const std::string stream = Stream();
  link::TLinkMessageStack stack;
  Messages got;
  for (char c : stream) got = Concat(got, Feed(stack, std::string_view(&c, 1)));
  EXPECT_EQ(got, kMessages);

  for (std::size_t a = 0; a < stream.size(); a += 7) {
    for (std::size_t b = a; b <= stream.size(); b += 11) {
      link::TLinkMessageStack s;
      Messages all = Feed(s, std::string_view(stream).substr(0, a));
      all = Concat(all, Feed(s, std::string_view(stream).substr(a, b - a)));
      all = Concat(all, Feed(s, std::string_view(stream).substr(b)));
      ASSERT_EQ(all, kMessages) << a << "/" << b;
    }
  }
}

TEST(MessageStack, HandlerThatReadsMoreKeepsArrivalOrder) {
  // The first message's handler waits for a reply and so reads the next
  // piece of the connection while the outer read still holds two frames.
  const std::string first = Stream({"A", "B", "C"}) + std::string("\x02\x00", 2);
  const std::string second = std::string("\x00\x00", 2) + "DE" + Stream({"F"});
  link::TLinkMessageStack stack;
  Messages order;
  bool nested = false;
  stack.Feed(first, [&](std::string_view m) {
    order.emplace_back(m);
    if (!nested) {
      nested = true;
      stack.Feed(second, [&](std::string_view inner) { order.emplace_back(inner); });
    }
  });
  EXPECT_EQ(order, (Messages{"A", "B", "C", "DE", "F"}));
  EXPECT_EQ(stack.Buffered(), 0u);
  EXPECT_EQ(Feed(stack, Stream({"G"})), Messages{"G"});
}

TEST(MessageStack, HandlerReentryWhileCompletingASplitFrame) {
  const std::string stream = Stream({"first", "second", "third"});
  link::TLinkMessageStack stack;
  EXPECT_TRUE(Feed(stack, std::string_view(stream).substr(0, 6)).empty());
  Messages order;
  bool nested = false;
  stack.Feed(std::string_view(stream).substr(6, 12), [&](std::string_view m) {
    order.emplace_back(m);
    if (!nested) {
      nested = true;
      stack.Feed(std::string_view(stream).substr(18), [&](std::string_view inner) { order.emplace_back(inner); });
    }
  });
  EXPECT_EQ(order, (Messages{"first", "second", "third"}));
}

TEST(MessageStack, AThrowingHandlerLosesNothingAfterItsMessage) {
  link::TLinkMessageStack stack;
  const std::string stream = Stream({"one", "bad", "three"}) + std::string("\x05\x00", 2);
  Messages got;
  EXPECT_THROW(stack.Feed(stream,
                          [&](std::string_view m) {
                            got.emplace_back(m);
                            if (m == "bad") throw std::runtime_error("handler failed");
                          }),
               std::runtime_error);
  EXPECT_EQ(got, (Messages{"one", "bad"}));
  EXPECT_EQ(Feed(stack, std::string("\x00\x00", 2) + "four!"), (Messages{"three", "four!"}));
}

TEST(MessageStack, FrameLengthLimits) {
  // The largest length is accepted and waits for its bytes.
  link::TLinkMessageStack stack;
  EXPECT_TRUE(Feed(stack, std::string("\x00\x00\x40\x06"
                                      "abc",
                                      7))
                  .empty());  // 104857600
  EXPECT_EQ(stack.Buffered(), 7u);
  EXPECT_FALSE(stack.Broken());

  struct Case {
    std::string header;
    const char* error;
  };
  const Case cases[] = {
      {std::string("\x01\x00\x40\x06", 4), "Invalid block size (104857601)!"},
      {std::string("\xFF\xFF\xFF\xFF", 4), "Invalid block size (-1)!"},
      {std::string("\x00\x00\x00\x80", 4), "Invalid block size (-2147483648)!"},
  };
  for (const Case& c : cases) {
    for (std::size_t split : {std::size_t{0}, std::size_t{7}}) {
      // The bad length arrives in the same read as a good frame, or split.
      const std::string stream = link::EncodeFrame("ok") + c.header + "junk";
      link::TLinkMessageStack bad;
      Messages got;
      try {
        if (split > 0) got = Feed(bad, std::string_view(stream).substr(0, split));
        bad.Feed(std::string_view(stream).substr(split), [&](std::string_view m) { got.emplace_back(m); });
        ADD_FAILURE() << c.error << " was not raised";
      } catch (const link::ELinkFrameException& e) {
        EXPECT_STREQ(e.what(), c.error);
      }
      // The frame before the bad length is delivered; the stream stays
      // unusable until cleared.
      EXPECT_EQ(got, Messages{"ok"});
      EXPECT_TRUE(bad.Broken());
      EXPECT_THROW(Feed(bad, link::EncodeFrame("more")), link::ELinkFrameException);
      bad.Clear();
      EXPECT_EQ(Feed(bad, link::EncodeFrame("after")), Messages{"after"});
    }
  }
}

}  // namespace
