#include "StreamAccount.h"

FStreamAccount SettleStream(FHostUnderTest& Host, FSenderRun& Sender, std::chrono::steady_clock::time_point Deadline)
{
	FStreamAccount Account;
	const std::optional<FSentCount> Sent = Sender.WaitForCount(Deadline);
	if (!Sent)
	{
		Account.Fault = "the sender printed no closing count";
		return Account;
	}
	Account.Sent = *Sent;
	if (Sent->Refused > 0)
	{
		Account.Fault = "the sender had " + std::to_string(Sent->Refused) + " datagrams refused";
		return Account;
	}
	// After the stream ends the playout clock moves on until only the due sample is left.
	const auto Settled = [&](const std::vector<FHostConsoleReading>& Readings)
	{
		for (const FHostConsoleReading& Reading : Readings)
		{
			if (Reading.Received < Sent->Messages || Reading.Samples < Reading.Received || Reading.RingCount > 1)
			{
				return false;
			}
		}
		return true;
	};
	if (const auto Readings = Host.WaitForReadings(Settled, Deadline, Account.Readings))
	{
		Account.Readings = *Readings;
		return Account;
	}
	Account.Fault = "sent " + std::to_string(Sent->Messages) + " to each source; by the deadline:";
	for (const FHostConsoleReading& Reading : Account.Readings)
	{
		Account.Fault += " " + Reading.Endpoint + " received " + std::to_string(Reading.Received) + ", samples " + std::to_string(Reading.Samples) + ", ring " +
		                 std::to_string(Reading.RingCount) + ";";
	}
	return Account;
}
