#pragma once

// The protocol numbers the application uses by name: services and the PIDs the
// screens read themselves. A reply's service byte is the request's plus
// `service::replyOffset`.
namespace service {
inline constexpr int currentData = 0x01;
inline constexpr int freezeFrame = 0x02;
inline constexpr int storedCodes = 0x03;
inline constexpr int clearCodes = 0x04;
inline constexpr int pendingCodes = 0x07;
inline constexpr int vehicleInformation = 0x09;
inline constexpr int permanentCodes = 0x0A;
inline constexpr int readByIdentifier = 0x22;
inline constexpr int replyOffset = 0x40;
inline constexpr int negativeReply = 0x7F;  // its PID byte is the refused service

constexpr int replyTo(int requestService) { return requestService + replyOffset; }
inline constexpr int currentDataReply = replyTo(currentData);
inline constexpr int freezeFrameReply = replyTo(freezeFrame);
inline constexpr int storedCodesReply = replyTo(storedCodes);
inline constexpr int pendingCodesReply = replyTo(pendingCodes);
inline constexpr int permanentCodesReply = replyTo(permanentCodes);
inline constexpr int vehicleInformationReply = replyTo(vehicleInformation);
}  // namespace service

// Service-01 PIDs (service 02 reads the same ones from the freeze frame).
namespace pid {
inline constexpr int none = 255;  // a request's left-out PID byte
inline constexpr int supportedFirst = 0x00;  // the first bitmap of supported PIDs
inline constexpr int monitorStatus = 0x01;
inline constexpr int freezeFrameCode = 0x02;
inline constexpr int fuelSystemStatus = 0x03;
inline constexpr int engineLoad = 0x04;
inline constexpr int coolantTemperature = 0x05;
inline constexpr int manifoldPressure = 0x0B;
inline constexpr int engineSpeed = 0x0C;
inline constexpr int vehicleSpeed = 0x0D;
inline constexpr int intakeTemperature = 0x0F;
inline constexpr int airFlow = 0x10;
inline constexpr int secondaryAirStatus = 0x12;
inline constexpr int runTime = 0x1F;
inline constexpr int distanceWithMil = 0x21;
inline constexpr int fuelLevel = 0x2F;
inline constexpr int warmUpsSinceCleared = 0x30;
inline constexpr int distanceSinceCleared = 0x31;
inline constexpr int barometricPressure = 0x33;
inline constexpr int timeWithMil = 0x4D;
inline constexpr int timeSinceCleared = 0x4E;
inline constexpr int fuelType = 0x51;
inline constexpr int oilTemperature = 0x5C;
inline constexpr int fuelRate = 0x5E;
inline constexpr int referenceTorque = 0x63;
}  // namespace pid

// Service-02 frame numbers: frame 00 is the one the car stored with its trouble code.
namespace freezeFrameNumber {
inline constexpr int stored = 0x00;
}  // namespace freezeFrameNumber

// Byte A of the monitor status: the warning lamp, and the count of stored codes.
namespace monitorStatusBits {
inline constexpr int milOn = 0x80;
inline constexpr int storedCodeCount = 0x7F;
}  // namespace monitorStatusBits

// Service-09 items.
namespace infoType {
inline constexpr int vin = 0x02;
inline constexpr int calibrationId = 0x04;
inline constexpr int calibrationVerification = 0x06;
inline constexpr int ecuName = 0x0A;
}  // namespace infoType
