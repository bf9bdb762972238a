#pragma once

// The protocol numbers the application uses by name: services and the PIDs the
// screens read themselves. A reply's service byte is the request's plus
// `service::replyOffset`.
namespace service {
inline constexpr int currentData = 0x01;
inline constexpr int freezeFrame = 0x02;
inline constexpr int storedCodes = 0x03;
inline constexpr int pendingCodes = 0x07;
inline constexpr int vehicleInformation = 0x09;
inline constexpr int permanentCodes = 0x0A;
inline constexpr int readByIdentifier = 0x22;
inline constexpr int replyOffset = 0x40;
inline constexpr int negativeReply = 0x7F;

constexpr int replyTo(int requestService) { return requestService + replyOffset; }
inline constexpr int currentDataReply = replyTo(currentData);
inline constexpr int freezeFrameReply = replyTo(freezeFrame);
}  // namespace service

// Service-01 PIDs (service 02 reads the same ones from the freeze frame).
namespace pid {
inline constexpr int none = 255;  // a request's left-out PID byte
inline constexpr int monitorStatus = 0x01;
inline constexpr int freezeFrameCode = 0x02;
inline constexpr int coolantTemperature = 0x05;
inline constexpr int manifoldPressure = 0x0B;
inline constexpr int engineSpeed = 0x0C;
inline constexpr int vehicleSpeed = 0x0D;
inline constexpr int intakeTemperature = 0x0F;
inline constexpr int airFlow = 0x10;
inline constexpr int fuelLevel = 0x2F;
inline constexpr int barometricPressure = 0x33;
inline constexpr int oilTemperature = 0x5C;
inline constexpr int fuelRate = 0x5E;
inline constexpr int referenceTorque = 0x63;
}  // namespace pid
