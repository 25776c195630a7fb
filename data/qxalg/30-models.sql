-- The programmer models, in the order the engine lists them.
--   0-9    single-site programmers (parallel port unless marked usb); the
--          configuration dialog shows the master-site choice only for the
--          models after these
--   9      a test-first station (TestOnlyStation)
--   10-18  concurrent multi-site programmers, sites in groups (modules)
--   19-21  the Marbrix family, which the program's own model list leaves out
--   22-24  the Vexal models, the OEM edition's restricted list
INSERT INTO programmer_model
    (model_index, name, site_count, sites_per_group, concurrent, usb, test_only, caption_part, caption_number) VALUES
    ( 0, 'RA-210',          1, 1, 0, 0, 0, '',        0),
    ( 1, 'RB-310',          1, 1, 0, 0, 0, '',        0),
    ( 2, 'RB-320',          1, 1, 0, 0, 0, '',        0),
    ( 3, 'RC-410',          1, 1, 0, 0, 0, '',        0),
    ( 4, 'RC-420',          1, 1, 0, 0, 0, '',        0),
    ( 5, 'RD-510',          1, 1, 0, 0, 0, 'Universal', 0),
    ( 6, 'RE-610',          1, 1, 0, 0, 0, 'Universal', 1),
    ( 7, 'RE-620/USB',      1, 1, 0, 1, 0, 'Universal', 2),
    ( 8, 'RF-710/USB',      1, 1, 0, 1, 0, 'Engineering', 3),
    ( 9, 'RT-900/Test',     1, 1, 0, 0, 1, 'Test Station', 1),
    (10, 'RG-1040/4',       4, 4, 1, 0, 0, 'Gang',    4),
    (11, 'RG-1080/8',       8, 4, 1, 0, 0, 'Gang',    8),
    (12, 'RG-1160/16',     16, 4, 1, 0, 0, 'Gang',   16),
    (13, 'RH-2080/8',       8, 2, 1, 0, 0, 'Cluster', 8),
    (14, 'RH-2160/16',     16, 2, 1, 0, 0, 'Cluster', 16),
    (15, 'RK-3040/4',       4, 1, 1, 1, 0, 'Concurrent', 4),
    (16, 'RK-3080/8',       8, 1, 1, 1, 0, 'Concurrent', 8),
    (17, 'RK-3120/12',     12, 1, 1, 1, 0, 'Concurrent', 12),
    (18, 'RM-4320/32',     32, 8, 1, 1, 0, 'Production', 32),
    (19, 'Marbrix',         1, 1, 0, 0, 0, '',        0),
    (20, 'Marbrix_II',      4, 4, 1, 0, 0, '',        0),
    (21, 'Marbrix_III',     8, 4, 1, 0, 0, '',        0),
    (22, 'VX-100',          1, 1, 0, 1, 0, 'Vexal',   1),
    (23, 'VX-400/4',        4, 4, 1, 1, 0, 'Vexal',   4),
    (24, 'VX-800/8',        8, 4, 1, 1, 0, 'Vexal',   8);
