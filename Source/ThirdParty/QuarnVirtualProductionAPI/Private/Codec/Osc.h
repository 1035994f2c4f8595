// OSC 1.0 framing: messages with int32, float32, int64 and char arguments, and bundles.
// Written here rather than taken from a general OSC library: the receive path must never
// allocate or trust a length, and it must tell malformed datagrams from well-formed ones
// with the wrong type tags, which a general decoder folds into one failure.

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quarn::codec
{
	using Bytes = std::vector<uint8_t>;

	class OscWriter
	{
	public:
		explicit OscWriter(Bytes& out)
			: buffer(out) {}

		// Address and type tags (without the leading ","); arguments follow.
		OscWriter& begin(std::string_view address, std::string_view tags);
		OscWriter& int32(int32_t value);
		OscWriter& float32(float value);
		OscWriter& int64(int64_t value);
		// An `s` argument: the bytes up to the first NUL, padded.
		OscWriter& text(std::string_view value);

	private:
		void string(std::string_view text);
		void word(uint32_t value);

		Bytes& buffer;
	};

	// Bundle with an immediate time tag; elements are appended as finished messages.
	void beginBundle(Bytes& out);
	void appendBundleElement(Bytes& out, const uint8_t* element, std::size_t size);

	struct MessageView
	{
		std::string_view address;
		// Type tags without the leading ",".
		std::string_view tags;
		const uint8_t* arguments = nullptr;
		std::size_t argumentsSize = 0;
	};

	// False when the bytes are not one well-formed OSC message (truncated, unterminated or
	// unpadded strings, address not starting with "/", no type tag string).
	bool parseMessage(const uint8_t* data, std::size_t size, MessageView& out);

	bool isBundle(const uint8_t* data, std::size_t size);

	// Calls `element` for each element in order; false (having called it for the elements
	// before the fault) when the framing is broken.
	bool forEachBundleElement(const uint8_t* data, std::size_t size, const std::function<bool(const uint8_t*, std::size_t)>& element);

	// Reads arguments whose type tags have already been checked; sizes are checked here.
	class ArgumentReader
	{
	public:
		explicit ArgumentReader(const MessageView& message)
			: cursor(message.arguments)
			, end(message.arguments + message.argumentsSize) {}

		bool int32(int32_t& value);
		bool float32(float& value);
		bool int64(int64_t& value);
		// An `s` argument; the view points into the message.
		bool text(std::string_view& value);
		bool atEnd() const { return cursor == end; }

	private:
		bool word(uint32_t& value);

		const uint8_t* cursor;
		const uint8_t* end;
	};
}
