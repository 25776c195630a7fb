-- The database as a whole. The engine reads layout 3; a database of any
-- other layout is refused as a version mismatch.
INSERT INTO meta (key, value) VALUES
    ('format',   3),
    ('revision', 0x2A7);
