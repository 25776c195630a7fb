-- A 512-Mbit serial flash (64 MiB): the largest buffer of a device programmed
-- byte for byte, for the data-pattern viewer and its measures.
--
--   NV25Q512       SPI flash with the options of KS25Q128 and two secure
--                  variants

INSERT INTO device (name, manufacturer, package, device_type, size, data_width, supports) VALUES
('NV25Q512', 'Norvia', 'WSON8', 'SPI Flash', 67108864, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsVerifyTwice DeviceSupportsRead
  DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsContinuity DeviceSupportsAutoContinuity DeviceSupportsIdCheck
  DeviceSupportsRange DeviceSupportsAutoRange DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum');

INSERT INTO device_variant (device, kind, position, name, concurrent) VALUES
('NV25Q512', 'secure', 1, 'Status Lock', 1),
('NV25Q512', 'secure', 2, 'OTP Lock', 1);

INSERT INTO device_config (device, key, value) VALUES
('NV25Q512', 'algcfg.virgin', '0xFF'), ('NV25Q512', 'algcfg.pin_count', '8');

INSERT INTO algorithm_parameter (device, name, value) VALUES
('NV25Q512', 'DEFAULT_BUFFER_VALUE', '0xFF');
