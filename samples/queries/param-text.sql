-- description: Orders whose note contains a text (TEXT)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, status, note
FROM orders
WHERE note LIKE '%' || ?TEXT_"Note contains"? || '%'
ORDER BY id
