#include "IPlugOneWayBinding.h"

void IPlugOneWayBinding::HostTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
}

void IPlugOneWayBinding::HostTimeInfo(TimeInfo* info) {
  if (info) *info = TimeInfo();
}
