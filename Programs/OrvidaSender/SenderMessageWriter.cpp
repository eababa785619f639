#include "SenderMessageWriter.h"

#include <nlohmann/json.hpp>

std::string FSenderMessageWriter::Write(const FSenderCameraState& State)
{
	// Ordered, so that the record reads as the application writes it; the receiver does not depend on the order.
	const nlohmann::ordered_json Record = {
	    {"Version", Version},
	    {"Location", State.Location},
	    {"Rotation", State.Rotation},
	    {"Scale", State.Scale},
	    {"Lens", State.Lens},
	    {"Timecode", {State.FrameNumber, State.Rate.Numerator, State.Rate.Denominator}},
	    {"Metadata", {State.Scene, State.Slate, State.Take}},
	    {"State", State.State},
	};
	const nlohmann::ordered_json Message = {{"OVDCamera", nlohmann::ordered_json::array({Record})}};
	return Message.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
