-- The shipped device list.
--
-- Each device is one row of device (its capabilities in "supports") with its
-- variants, custom actions, configuration values and parameters below it.
-- Together the devices offer every action tab and every operation-list entry
-- the station builds from the engine's capabilities:
--
--   AM27C512       EPROM: Program, Verify, Read, Blank with Illegal Bit; ID check
--   NV29F040       flash: Erase tab, Erase & Blank Check, verify twice,
--                  auto continuity with auto selection, two secure variants
--   NV29LV160B     16-bit flash: byte order, sets and banks, extra commands
--                  (one named E-FIELD), plain Secure also on the Verify tab
--   NV30F1G08      NAND flash: NAND options, an extra command needing no chip
--   KS24C256       serial EEPROM: continuity only, Erase without an Erase tab,
--                  the blank/erase step forced
--   KS25Q128       SPI flash: auto continuity and ID without auto selection,
--                  three secure variants
--   SL18F4550      microcontroller: verify twice with tests, encryption
--                  (Decrypt & Read, Verify Once & Encrypt), secure variants with
--                  test once and twice, a Calibrate custom action
--   KX2103-SEC     secure microcontroller, not readable: Compare, Sum, single
--                  verify with tests, Test Once/Twice on the Program tab,
--                  secure after verify with variants
--   KS85T          microcontroller with the custom actions Fuse Blow, Check and
--                  Lock Bits (all required: "No Optional Procs")
--   KS85T-FT       its factory-test variant: a custom action with more
--                  optional procedures than the station has rows ("Invalid Action")
--   GAL22V10       fuse-based logic device (counted in fuses): test vectors
--                  with test twice, plain Secure & Test Once/Twice
--   AX3P030        antifuse FPGA: verify entries without a Verify tab, plain
--                  Test, Verify & Test, Secure & Test
--   LT74HC245      logic IC checked by test vectors only (no Program tab)
--   STAPL ISP Device  devices programmed from STAPL files: named actions as
--                  program variants (the Execute tab), STAPL serialization
--   VX-SEC32       a Vexal device: Vexal_ChkSum and P_Check variants, secure
--                  variants with Test
--   NV29GL128-G    gang flash that only the RG gang programmers run (the
--                  engine refuses it on any other model)
--   Corvane Diagnostics, Vexal Diagnostics
--                  the programmer's self test and BIOS flash as pseudo-devices

INSERT INTO device (name, manufacturer, package, device_type, size, data_width, supports) VALUES
('AM27C512', 'Amtech', 'DIP28', 'EPROM', 65536, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsIllegalBitCheck=1 DeviceSupportsContinuity DeviceSupportsIdCheck
  DeviceSupportsRange DeviceSupportsAutoRange DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('NV29F040', 'Norvia', 'PLCC32', 'Flash', 524288, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsVerifyTwice DeviceSupportsRead
  DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsContinuity DeviceSupportsAutoContinuity DeviceSupportsIdCheck DeviceSupportsAutoSelection
  DeviceSupportsRange DeviceSupportsAutoRange DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('NV29LV160B', 'Norvia', 'TSOP48', 'Flash', 1048576, 16,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure DeviceSupportsTestAndSecure=-1
  DeviceSupportsContinuity DeviceSupportsIdCheck DeviceSupportsRange DeviceSupportsAutoRange
  DeviceSupportsByteOrder DeviceSupportsSetsAndBanks DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('NV30F1G08', 'Norvia', 'TSOP48', 'NAND Flash', 138412032, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsContinuity DeviceSupportsIdCheck
  DeviceSupportsRange DeviceSupportsSetsAndBanks DeviceSupportsNandOptions'),

('KS24C256', 'Kestrel Micro', 'SOIC8', 'Serial EEPROM', 32768, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsSecure DeviceSupportsContinuity DeviceValue271
  DeviceSupportsRange DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('KS25Q128', 'Kestrel Micro', 'SOIC8-208', 'SPI Flash', 16777216, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsVerifyTwice DeviceSupportsRead
  DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsContinuity DeviceSupportsAutoContinuity DeviceSupportsIdCheck
  DeviceSupportsRange DeviceSupportsAutoRange DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('SL18F4550', 'Solent', 'DIP40', 'Microcontroller', 16384, 16,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsVerifyTwice DeviceSupportsRead
  DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsTestVectors DeviceSupportsTestTwice DeviceSupportsEncrypt
  DeviceSupportsContinuity DeviceSupportsIdCheck DeviceFlag8
  DeviceSupportsRange DeviceSupportsByteOrder DeviceSupportsBufferOffset DeviceSupportsDeviceChecksum'),

('KX2103-SEC', 'Kestrel Micro', 'QFN32', 'Secure Microcontroller', 65536, 8,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsErase DeviceSupportsEraseTab
  DeviceSupportsSecure DeviceSupportsTestAndSecure=-1 DeviceSupportsTestVectors DeviceSupportsTestTwice
  DeviceSupportsEncrypt EncryptCompareKind ProgramTabFlag59
  DeviceSupportsContinuity DeviceSupportsAutoContinuity DeviceSupportsIdCheck'),

('KS85T', 'Kestrel Micro', 'SOIC8', 'Microcontroller', 4096, 16,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsContinuity DeviceSupportsIdCheck DeviceSupportsAutoSelection DeviceSupportsRange'),

('KS85T-FT', 'Kestrel Micro', 'SOIC8', 'Microcontroller (factory test)', 4096, 16,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsContinuity'),

('GAL22V10', 'Norvia', 'DIP24', 'Logic (fuse)', 5892, 1,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsSecure
  DeviceSupportsTestVectors DeviceSupportsTestTwice DeviceSupportsContinuity
  DeviceFlag8 SizeInFuses'),

('AX3P030', 'Amtech', 'VQFP100', 'FPGA (antifuse)', 73728, 1,
 'DeviceSupportsProgram VerifySupport=2 DeviceSupportsBlankCheck DeviceSupportsSecure
  DeviceSupportsTestVectors DeviceSupportsContinuity DeviceValue271 SizeInFuses'),

('LT74HC245', 'Kestrel Micro', 'DIP20', 'Logic IC (test)', 0, 8,
 'DeviceSupportsTestVectors DeviceSupportsContinuity'),

('STAPL ISP Device', 'JTAG', 'JTAG', 'CPLD/FPGA (STAPL)', 0, 8,
 'VerifySupport=1 DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab
  DeviceIsVexal DeviceValue271 DeviceFlag8 DeviceSupportsContinuity DeviceSupportsStaplSerialization'),

('VX-SEC32', 'Vexal', 'TQFP64', 'Secure Microcontroller', 32768, 8,
 'VerifySupport=1 DeviceSupportsBlankCheck DeviceSupportsErase DeviceSupportsEraseTab
  DeviceSupportsSecure DeviceSupportsTestAndSecure=-1 DeviceSupportsTestVectors
  DeviceSupportsContinuity DeviceSupportsIdCheck DeviceIsVexal'),

('NV29GL128-G', 'Norvia', 'TSOP56', 'Flash', 8388608, 16,
 'DeviceSupportsProgram VerifySupport=1 DeviceSupportsRead DeviceSupportsBlankCheck
  DeviceSupportsErase DeviceSupportsEraseTab DeviceSupportsContinuity DeviceSupportsRange'),

('Corvane Diagnostics', 'Corvane', 'N/A', 'Diagnostics', 0, 8, ''),
('Vexal Diagnostics', 'Vexal', 'N/A', 'Diagnostics', 0, 8, '');

INSERT INTO device_variant (device, kind, position, name, concurrent) VALUES
('NV29F040',   'secure', 1, 'Sector Protect', 1),
('NV29F040',   'secure', 2, 'Chip Protect', 1),
('NV29LV160B', 'extra',  0, 'Unlock Bypass', 1),
('NV29LV160B', 'extra',  1, 'E-FIELD', 1),
('NV29LV160B', 'extra',  2, 'CFI Query', 1),
('NV30F1G08',  'extra',  0, 'Bad Block Scan', 1),
('KS25Q128',   'secure', 1, 'Status Lock', 1),
('KS25Q128',   'secure', 2, 'OTP Lock', 1),
('KS25Q128',   'secure', 3, 'Permanent Lock', 1),
('KS25Q128',   'extra',  0, 'Quad Enable', 1),
('SL18F4550',  'secure', 1, 'Code Protect', 1),
('SL18F4550',  'secure', 2, 'Code + Data Protect', 1),
('SL18F4550',  'extra',  0, 'Config Words', 1),
('KX2103-SEC', 'secure', 1, 'Debug Lock', 1),
('KX2103-SEC', 'secure', 2, 'Full Lock', 1),
('STAPL ISP Device', 'program', 0, 'Program', 1),
('STAPL ISP Device', 'program', 1, 'Verify', 1),
('STAPL ISP Device', 'program', 2, 'Erase', 1),
('STAPL ISP Device', 'program', 3, 'Read Usercode', 1),
('VX-SEC32',   'program', 0, 'Program', 1),
('VX-SEC32',   'program', 1, 'Vexal_ChkSum', 0),
('VX-SEC32',   'program', 2, 'P_Check', 0),
('VX-SEC32',   'secure', 1, 'Lock A', 1),
('VX-SEC32',   'secure', 2, 'Lock B', 1),
('Corvane Diagnostics', 'program', 0, 'Self Test', 0),
('Corvane Diagnostics', 'program', 1, 'Flash', 0),
('Vexal Diagnostics',   'program', 0, 'Self Test', 0),
('Vexal Diagnostics',   'program', 1, 'Flash', 0),
('Vexal Diagnostics',   'program', 2, 'P_Check', 0);

INSERT INTO custom_action (device, position, name) VALUES
('SL18F4550', 0, 'Calibrate'),
('KS85T',     0, 'Fuse Blow'),
('KS85T',     1, 'Check'),
('KS85T',     2, 'Lock Bits'),
('KS85T-FT',  0, 'Factory Trim');

INSERT INTO custom_procedure (device, action, position, kind, alternatives) VALUES
('SL18F4550', 0, 0, 'REQ', 'Read OSCCAL'),
('SL18F4550', 0, 1, 'OPT', 'Trim Low|Trim Mid|Trim High'),
('SL18F4550', 0, 2, 'REC', 'Write OSCCAL'),
('KS85T', 0, 0, 'OPT', 'Blow Fuse A|Blow Fuse B'),
('KS85T', 0, 1, 'REQ', 'Check Fuses'),
('KS85T', 1, 0, 'REC', 'Read Signature'),
('KS85T', 2, 0, 'REQ', 'Write Lock'),
('KS85T', 2, 1, 'REQ', 'Verify Lock');

-- Factory Trim: eighteen optional trim steps, one more than the station's
-- option rows.
WITH RECURSIVE step (n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM step WHERE n < 17)
INSERT INTO custom_procedure (device, action, position, kind, alternatives)
SELECT 'KS85T-FT', 0, n, 'OPT', printf('Trim %02d', n + 1) FROM step;

INSERT INTO device_config (device, key, value) VALUES
('AM27C512',   'algcfg.virgin', '0xFF'), ('AM27C512',   'algcfg.pin_count', '28'),
('NV29F040',   'algcfg.virgin', '0xFF'), ('NV29F040',   'algcfg.pin_count', '0x20'),
('NV29LV160B', 'algcfg.virgin', '0xFF'), ('NV29LV160B', 'algcfg.pin_count', '48'),
('NV30F1G08',  'algcfg.virgin', '0xFF'), ('NV30F1G08',  'algcfg.pin_count', '48'),
('NV30F1G08',  'EXTRA_CMDS', 'CMD_NOCHIP'),
('KS24C256',   'algcfg.virgin', '0xFF'), ('KS24C256',   'algcfg.pin_count', '8'),
('KS25Q128',   'algcfg.virgin', '0xFF'), ('KS25Q128',   'algcfg.pin_count', '8'),
('SL18F4550',  'algcfg.virgin', '0xFF'), ('SL18F4550',  'algcfg.pin_count', '0x28'),
('SL18F4550',  'EXTRA_CMDS', 'CMD_CONFIGWORDS'),
('KX2103-SEC', 'algcfg.virgin', '0x00'), ('KX2103-SEC', 'algcfg.pin_count', '32'),
('KS85T',      'algcfg.virgin', '0xFF'), ('KS85T',      'algcfg.pin_count', '8'),
('KS85T-FT',   'algcfg.virgin', '0xFF'), ('KS85T-FT',   'algcfg.pin_count', '8'),
('GAL22V10',   'algcfg.virgin', '0x00'), ('GAL22V10',   'algcfg.pin_count', '24'),
('AX3P030',    'algcfg.virgin', '0x00'), ('AX3P030',    'algcfg.pin_count', '100'),
('LT74HC245',  'algcfg.pin_count', '20'),
('VX-SEC32',   'algcfg.virgin', '0xFF'), ('VX-SEC32',   'algcfg.pin_count', '64');

INSERT INTO algorithm_parameter (device, name, value) VALUES
('AM27C512',   'DEFAULT_BUFFER_VALUE', '0xFF'),
('NV29F040',   'DEFAULT_BUFFER_VALUE', '255'),
('NV29LV160B', 'DEFAULT_BUFFER_VALUE', '0xFF'),
('NV30F1G08',  'DEFAULT_BUFFER_VALUE', '0xFF'),
('KS24C256',   'DEFAULT_BUFFER_VALUE', '0xFF'),
('KS25Q128',   'DEFAULT_BUFFER_VALUE', '0xFF'),
('SL18F4550',  'DEFAULT_BUFFER_VALUE', '0xFF'),
('KX2103-SEC', 'DEFAULT_BUFFER_VALUE', '0x00'),
('NV30F1G08',  'SPARE_AREA', 'interleaved');
